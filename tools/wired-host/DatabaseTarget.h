#ifndef WIREDHOST_DATABASETARGET_H
#define WIREDHOST_DATABASETARGET_H

#include <cstddef>
#include <string>
#include <vector>

#include "WordList.h"

namespace wiredhost {

// How a database measures the longest unquoted name it takes.
enum class LengthUnit { Bytes, Characters };

// What a database does with the case of an unquoted name.
enum class CaseRule { FoldsToUpper, FoldsToLower, Insensitive };

// A database a mapping can be checked for, with the facts the checks need.
// Lengths are counted in UTF-8, the usual database encoding. One row per
// target in DatabaseTarget.cpp.
struct DatabaseTarget {
    const char* name;   // as given to --target: "postgresql"
    const char* title;  // as shown in messages: "PostgreSQL"
    std::size_t maxLength; // 0: no limit checked
    LengthUnit unit;
    CaseRule caseRule;
    // Longer names are cut to maxLength without an error.
    bool truncates;
    const char* wordList; // words/NAME.txt
    // Only ASCII letters change case, as PostgreSQL folds names in a UTF-8
    // database and SQLite compares them; the others fold the letters of
    // other alphabets too (A and a with diaeresis are one letter there).
    bool asciiCaseOnly;

    const WordList& words() const;
    std::size_t lengthOf(const std::string& utf8) const;
    // The name as the database keeps it: cut at maxLength bytes, on a
    // character boundary, where it truncates; otherwise as it is.
    std::string keptName(const std::string& utf8) const;
    std::size_t keptLength(const std::string& utf8) const;
    // "folded to lower case", "compared case-insensitively"...
    const char* caseText() const;
    static const char* unitText(LengthUnit unit);

    static const std::vector<DatabaseTarget>& all();
    static const DatabaseTarget* find(const std::string& name);
    // The targets of a comma-separated list, "all" for every one, in the
    // table's order and each once. False with the reason in error.
    static bool parseList(const std::string& list, std::vector<const DatabaseTarget*>& targets, std::string& error);
    // "oracle, oracle11, ..., sql2016"
    static std::string knownNames();
};

} // namespace wiredhost

#endif
