#ifndef WIREDHOST_MAPPINGFILE_H
#define WIREDHOST_MAPPINGFILE_H

#include <string>
#include <vector>

#include "RunRecord.h"

namespace wiredhost {

// One class of a saved mapping, its texts in UTF-8. The table is what the
// plug-in handed the host; empty when it handed none.
struct MappingRow {
    std::string package, className, table, outcome;

    bool operator<(const MappingRow& other) const;
    bool operator==(const MappingRow& other) const;
};

// What changed for one class since the mapping was saved. The rows are
// those of the two mappings compared, which outlive the changes: a saved
// mapping of a million classes is not copied into its changes.
struct MappingChange {
    enum Kind { Added, Removed, Changed };
    Kind kind;
    const MappingRow* before; // for Removed and Changed, else null
    const MappingRow* after;  // for Added and Changed, else null
};

// A run's mapping as a text file to commit beside the model and compare
// later: UTF-8, LF line ends, a header line, then one class a line, its
// package, class, table and outcome separated by tabs, sorted, nothing that
// changes between runs or platforms. A tab, a line end or a backslash in a
// name is written as \t, \n, \r or \\, so every line stays four fields.
class MappingFile {
public:
    static const char kHeader[];

    // The rows of a run's classes (their texts UTF-8 already), sorted.
    static std::vector<MappingRow> rowsOf(const std::vector<ClassEntry>& classes);

    static std::string text(const std::vector<MappingRow>& rows);
    // False with a "FILE: what" message when path holds something other
    // than a saved mapping (the model itself, given by mistake): a saved
    // mapping is written over, nothing else is.
    static bool mayOverwrite(const std::string& path, std::string& error);
    // False with a "FILE: what" message when the file cannot be written.
    static bool save(const std::string& path, const std::vector<MappingRow>& rows, std::string& error);

    // False with a "FILE:LINE: what" message when the text is no saved
    // mapping; rows come back sorted.
    static bool parse(const std::string& text, const std::string& path, std::vector<MappingRow>& rows,
                      std::string& error);
    static bool read(const std::string& path, std::vector<MappingRow>& rows, std::string& error);

    // Every class added, removed or given another table or outcome, in
    // the order of the rows. Classes of the same package and name are
    // paired in order.
    static std::vector<MappingChange> compare(const std::vector<MappingRow>& saved,
                                              const std::vector<MappingRow>& now);

    // The outcome as the file writes it: "set", "table-not-found"...
    static const char* outcomeKey(Outcome outcome);
};

} // namespace wiredhost

#endif
