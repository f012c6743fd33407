#ifndef WIREDHOST_REPORT_H
#define WIREDHOST_REPORT_H

#include <ostream>
#include <string>
#include <vector>

#include "HostFlavour.h"
#include "MappingFinding.h"
#include "RunRecord.h"
#include "WarningCapture.h"

namespace wiredhost {

struct ClassExplanation;
struct MappingChange;

// How a run is shown: the mapping table, one JSON document, or for names
// only the table name of each class (warnings then go with the errors).
enum class Format { Table, Json, Names };

// Everything the tool tells about a run of the plug-in, in one place, by
// one encoding rule: texts are taken in UTF-8 (from the host's code page, in
// which the plug-in and the host exchange them), JSON is always UTF-8, and
// text goes out in the encoding of the console or, redirected, of the host's
// code page, with columns lined up by characters. In
// text, log records and warnings are written as they arrive and the mapping
// at the end; JSON is one document written at the end. Problems with the
// tool's own work go to the error stream.
class Reporter {
public:
    Reporter(const std::string& command, Format format, std::ostream& out, std::ostream& err);
    ~Reporter();

    Format format() const { return format_; }

    // The plug-in asked for and the config.xml it reads; a private copy
    // means the config file was the user's own, given with --config. Paths,
    // the language given and the tool's messages are UTF-8; what the
    // plug-in says and the names it gets are in the host's code page.
    void session(const std::string& plugin, const std::string& config, bool privateCopy, const std::string& language);
    void log(const LogRecord& record);
    void warnings(const std::vector<hostkit::Warning>& shown);
    void links(const std::vector<LinkEntry>& registered);
    // The model read, as "FILE (FORMAT)", and what its tables are.
    void model(const std::string& description, const std::string& tables);
    void mapped(ClassEntry entry);
    // Room for the classes a run will map, known before it starts.
    void expect(std::size_t classes) { classes_.reserve(classes); }
    // What the checks found in the run's classes and links, as
    // MappingChecker orders them.
    void found(std::vector<MappingFinding> findings);
    // Ends a run: the mapping table or the JSON document, and the summary.
    void finishRun();

    // The links registered, their texts in UTF-8.
    const std::vector<LinkEntry>& linkEntries() const { return links_; }

    // names: the table each class would get, one line each, lined up.
    void names(const std::vector<std::string>& arguments, const std::vector<ClassEntry>& entries);
    // names --target: the findings, after the names or their explanations.
    void namesFindings() const;

    // which: the flavour that fits a host and why; plugin is the plug-in
    // its runtime DLLs were compared with, empty when none.
    void hostFit(const std::string& host, const std::string& plugin, const HostVerdict& verdict);

    // Why the next class got its name: in text at once for names (with its
    // findings, when they were found first) and after the mapping for run,
    // in JSON with its class. When the plug-in's
    // answer differs from the explanation, a warning goes to the error
    // stream at once.
    void explained(const ClassExplanation& explanation);
    bool anyDisagreement() const { return disagreements_ > 0; }

    // What changed since a saved mapping (run --compare-mapping), shown
    // after the mapping.
    void mappingChanges(const std::string& savedFile, std::size_t savedClasses, std::vector<MappingChange> changes);

    // The classes mapped so far, their texts in UTF-8.
    const std::vector<ClassEntry>& classes() const { return classes_; }

    // "wired-host COMMAND: message" on the error stream; the exit code 2.
    int fail(const std::string& message);
    // "wired-host COMMAND: warning: message" on the error stream, in every
    // format.
    void warn(const std::string& message);

    // True when some class got no table.
    bool anyUnmapped() const;
    bool anyFindings() const { return !findings_.empty(); }

    // The outcome with " (duplicate)" for a duplicate class.
    static std::string outcomeOf(const ClassEntry& entry);

private:
    // Log records and the session are written as they come only in a table.
    bool streams() const { return format_ == Format::Table; }
    // UTF-8 text to the output, in the output's encoding.
    void write(const std::string& utf8) const;
    void makeLogHead(const LogRecord& record);
    void writeTable() const;
    void writeBlock(std::string& text) const;
    void writeFindings(std::string& text) const;
    // The findings of class i after its explanation, from the first one
    // not yet passed (findings come by class).
    void appendClassFindings(std::string& text, std::size_t i, std::size_t& next) const;
    void writeJson() const;
    // "6 classes read, 4 tables set, ..." for the run's last line.
    std::string summary() const;

    std::string command_;
    Format format_;
    std::ostream& out_;
    std::ostream& err_;
    std::string plugin_, config_, language_;
    std::vector<hostkit::Warning> warnings_;
    // The log records as the JSON document's "log" list, built as they
    // come: a big model logs a record per class.
    std::string logJson_;
    // The line being written, kept for its capacity: a big model logs a
    // line per class.
    std::string line_;
    // A record as written, without its detail: what comes before it and
    // after it. A big model logs the same message from the same place for
    // every class, so these are made again only when that changes.
    std::string logHead_, logTail_;
    std::string headFile_, headMessage_;
    int headLine_ = 0;
    bool headMade_ = false;
    std::vector<LinkEntry> links_;
    std::vector<ClassEntry> classes_;
    // Explanations in text and JSON, in the order of classes_.
    std::vector<std::string> explanationTexts_, explanationJson_;
    std::size_t explainedFindings_ = 0;
    std::size_t disagreements_ = 0;
    bool compared_ = false;
    std::string savedFile_;
    std::size_t savedClasses_ = 0;
    std::vector<MappingChange> changes_;
    std::vector<MappingFinding> findings_;
};

} // namespace wiredhost

#endif
