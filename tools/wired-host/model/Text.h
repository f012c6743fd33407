#ifndef WIREDHOST_MODEL_TEXT_H
#define WIREDHOST_MODEL_TEXT_H

#include <string>
#include <string_view>

// The small text helpers the readers and the tool share. Case is ASCII
// case: names in files and SQL keywords, not a language's letters.
namespace wiredhost {

std::string lowered(std::string text);

// Without the blanks (space, tab, CR by default) around it.
std::string trimmed(const std::string& text, const char* blanks = " \t\r");

// Space, tab, CR or LF: what blank lines are made of.
inline bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The UTF-8 byte-order mark an editor may put before any text file.
inline bool startsWithByteOrderMark(std::string_view text)
{
    return text.substr(0, 3) == "\xEF\xBB\xBF";
}

// A name from a file for a message: one longer than `most` bytes keeps its
// start and its end (where an entry's suffix is) around "...", cut between
// UTF-8 characters. A tar entry's name may be megabytes long.
std::string shortened(std::string_view text, std::size_t most = 256);

// What macOS packs beside each file of a folder: a "._" file of its
// extended attributes (AppleDouble), or, in the Finder's zip files, the
// same under __MACOSX/. Binary, and named like the file it belongs to,
// so never the model.
bool isMacMetadata(std::string_view entryName);

bool equalsIgnoringCase(std::string_view a, std::string_view b);
bool endsWithIgnoringCase(std::string_view text, std::string_view suffix);

} // namespace wiredhost

#endif
