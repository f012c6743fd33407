#ifndef WIREDHOST_REPORT_H
#define WIREDHOST_REPORT_H

#include <ostream>
#include <string>
#include <vector>

namespace wiredhost {

struct LogEntry {
    std::string message, detail, file;
    int line = 0;
};

struct LinkEntry {
    std::string className, tableName;
    int answer = 0;
};

// A warning box the plug-in showed: the caption is its message, the text
// the configuration path.
struct WarningEntry {
    std::string caption, text;
};

enum class Outcome { Set, TableNotFound, Skipped, NothingDone };

struct ClassEntry {
    std::string className, package, tableName;
    Outcome outcome = Outcome::NothingDone;
};

// What a run of the plug-in over a model showed, as a table or as JSON.
class Report {
public:
    std::string plugin;
    std::string config;
    std::string language;
    std::vector<WarningEntry> warnings;
    std::vector<LogEntry> log;
    std::vector<LinkEntry> links;
    std::vector<ClassEntry> classes;

    // True when some class got no table.
    bool anyUnmapped() const;

    void writeTable(std::ostream& out) const;
    void writeJson(std::ostream& out) const;

    static const char* outcomeText(Outcome outcome);
    static std::string logLine(const LogEntry& entry);
    static std::string warningLine(const WarningEntry& entry);
};

} // namespace wiredhost

#endif
