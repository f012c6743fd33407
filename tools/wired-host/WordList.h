#ifndef WIREDHOST_WORDLIST_H
#define WIREDHOST_WORDLIST_H

#include <cstddef>
#include <string>

namespace wiredhost {

// A list of reserved words, compiled into the tool from words/NAME.txt
// (scripts/reserved-words.py writes those from Debian packages). The words
// are in upper case and sorted byte by byte.
struct WordList {
    const char* name;
    const char* const* words;
    std::size_t size;

    // True when the word, in upper case, is in the list.
    bool contains(const std::string& upperWord) const;

    // The list of that name (the file name without .txt), or null.
    static const WordList* find(const std::string& name);

    // Every list, in the order of their names (generated).
    static const WordList kAll[];
    static const std::size_t kCount;
};

} // namespace wiredhost

#endif
