#include "Report.h"

#include <algorithm>

#include "DatabaseTarget.h"
#include "model/Encoding.h"
#include "Explainer.h"
#include "JsonText.h"
#include "MappingFile.h"
#include "model/Text.h"

namespace wiredhost {

namespace {

// "1 class", "2 classes"
std::string count(std::size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Every text the report holds is UTF-8: what the plug-in and the host
// exchange is in the host's code page and is converted on the way in; a
// wide warning box's texts come as UTF-8 already. ASCII, nearly every name
// of a model, is the same in every host code page and is taken as it is.
void toUtf8(std::string& hostText)
{
    if (encoding::isAscii(hostText))
        return;
    hostText = encoding::hostToUtf8(hostText);
    if (!encoding::isValidUtf8(hostText))
        hostText = encoding::repairedUtf8(hostText);
}

std::string utf8Of(std::string_view hostText)
{
    std::string text(hostText);
    toUtf8(text);
    return text;
}

// Host text in UTF-8 without a copy when it is ASCII; otherwise converted
// into scratch.
std::string_view utf8View(std::string_view hostText, std::string& scratch)
{
    if (encoding::isAscii(hostText))
        return hostText;
    scratch = utf8Of(hostText);
    return scratch;
}

// The tool's own texts (paths, messages, what the user typed) are UTF-8
// already, but may hold any bytes a file or a path gave them.
std::string toolText(const std::string& utf8)
{
    return encoding::repairedUtf8(utf8);
}

// UTF-8 text as the table and the error stream show it: a name with an
// escape sequence in it must not take the terminal over.
std::string visible(const std::string& utf8)
{
    return encoding::printable(utf8);
}

std::string quoted(const std::string& text)
{
    return jsonString(text);
}

// Columns are as wide as their widest cell up to this; a longer cell runs
// into its row's next column. Padding every row to one name of a megabyte
// would make the table the square of the file.
const std::size_t kWidestColumn = 64;

// Padded to width characters, not bytes.
std::string padded(const std::string& text, std::size_t width)
{
    const std::size_t length = encoding::characterCount(text);
    return text + std::string(width > length ? width - length : 0, ' ');
}

// A cell of the mapping table: a name, shown with its control characters
// escaped, or one of the table's own marks ("-" for no table).
struct Cell {
    std::string_view text;
    bool name;

    std::size_t width() const { return name ? encoding::printableWidth(text) : text.size(); }
    // Appended to out, padded from its own width to width characters.
    void append(std::string& out, std::size_t own, std::size_t width) const
    {
        if (name)
            encoding::appendPrintable(out, text);
        else
            out += text;
        out.append(width > own ? width - own : 0, ' ');
    }
};

Cell classCell(const ClassEntry& entry)
{
    return entry.outcome == Outcome::Unnamed ? Cell{"(unnamed)", false} : Cell{entry.className, true};
}

Cell packageCell(const ClassEntry& entry)
{
    return entry.package.empty() ? Cell{"-", false} : Cell{entry.package, true};
}

Cell tableCell(const ClassEntry& entry)
{
    if (entry.outcome != Outcome::Set && entry.outcome != Outcome::TableNotFound)
        return Cell{"-", false};
    return entry.tableName.empty() ? Cell{"\"\"", false} : Cell{entry.tableName, true};
}

using CellOf = Cell (*)(const ClassEntry&);
const CellOf kCells[] = {classCell, packageCell, tableCell};

const char* stateText(RuntimeCopy::State state)
{
    switch (state) {
    case RuntimeCopy::State::Same:
        return "the same build as the plug-in's";
    case RuntimeCopy::State::Enough:
        return "another build, with every function the plug-in takes from it";
    case RuntimeCopy::State::Lacking:
        return "another build, without functions the plug-in takes from it";
    case RuntimeCopy::State::NotCompared:
        return "beside the host, not compared";
    case RuntimeCopy::State::NotRead:
        return "beside the host";
    case RuntimeCopy::State::OtherMachine:
        return "for another machine: it cannot load into the host";
    case RuntimeCopy::State::NotBeside:
        break;
    }
    return "not beside the host";
}

const char* stateCode(RuntimeCopy::State state)
{
    switch (state) {
    case RuntimeCopy::State::Same:
        return "same";
    case RuntimeCopy::State::Enough:
        return "enough";
    case RuntimeCopy::State::Lacking:
        return "lacking";
    case RuntimeCopy::State::NotCompared:
        return "not-compared";
    case RuntimeCopy::State::NotRead:
        return "not-read";
    case RuntimeCopy::State::OtherMachine:
        return "other-machine";
    case RuntimeCopy::State::NotBeside:
        break;
    }
    return "not-beside";
}

// Sentences folded at 78 columns under an indent of two.
std::string folded(const std::string& text)
{
    std::string out, line = " ";
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(start, end - start);
        if (line.size() > 2 && line.size() + 1 + word.size() > 78) {
            out += line + "\n";
            line = "   ";
        }
        line += " " + word;
        start = end + 1;
    }
    return out + line + "\n";
}

std::string jsonList(const std::vector<std::string>& items, const std::string& indent)
{
    if (items.empty())
        return "[]";
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i)
        out += (i ? ",\n" : "\n") + indent + "  " + quoted(items[i]);
    return out + "\n" + indent + "]";
}

std::string jsonText(const std::string& text)
{
    return text.empty() ? "null" : quoted(text);
}

// A row of a saved mapping as the change list shows it: the file's names
// are escaped as the model's are, whoever wrote the file.
std::string classOf(const MappingRow& row)
{
    return visible(row.package.empty() ? row.className : row.package + "." + row.className);
}

std::string mappedTo(const MappingRow& row)
{
    return (row.table.empty() && row.outcome != "set" && row.outcome != "table-not-found"
                ? std::string("no table")
                : "\"" + visible(row.table) + "\"") +
           " (" + visible(row.outcome) + ")";
}

const char* changeKind(const MappingChange& change)
{
    switch (change.kind) {
    case MappingChange::Added:
        return "added";
    case MappingChange::Removed:
        return "removed";
    case MappingChange::Changed:
        break;
    }
    return "changed";
}

std::string rowJson(const MappingRow& row)
{
    return "{\"table\": " + quoted(row.table) + ", \"outcome\": " + quoted(row.outcome) + "}";
}

// " [2 findings]" beside a row, or nothing.
std::string findingsMark(std::size_t count)
{
    if (count == 0)
        return "";
    return "  [" + std::to_string(count) + (count == 1 ? " finding]" : " findings]");
}

std::string findingJson(const MappingFinding& finding)
{
    return std::string("{\"kind\": ") + quoted(MappingFinding::kindName(finding.kind)) +
           ", \"target\": " + (finding.target ? quoted(finding.target->name) : std::string("null")) +
           ", \"message\": " + quoted(finding.message()) + "}";
}

// The findings of one subject as a JSON array; `next` walks the run's
// findings, which come by subject.
std::string findingsJson(const std::vector<MappingFinding>& findings, std::size_t& next, bool onLink,
                         std::size_t index)
{
    std::string out = "[";
    for (bool first = true; next < findings.size() && findings[next].onLink == onLink &&
                            findings[next].index == index;
         ++next, first = false)
        out += (first ? "" : ", ") + findingJson(findings[next]);
    return out + "]";
}

} // namespace

Reporter::Reporter(const std::string& command, Format format, std::ostream& out, std::ostream& err)
    : command_(command), format_(format), out_(out), err_(err)
{
}

Reporter::~Reporter() = default;

// Text written in blocks as it is made: a big model's table has 100,000
// rows, its findings and changes millions.
void Reporter::writeBlock(std::string& text) const
{
    if (text.size() >= 64 * 1024) {
        write(text);
        text.clear();
    }
}

void Reporter::write(const std::string& utf8) const
{
    // No flush of its own: standard output goes out line by line on a
    // terminal and in blocks to a file, which a big model's 100,000 log
    // lines need.
    encoding::writeOutput(out_, utf8);
}

void Reporter::session(const std::string& plugin, const std::string& config, bool privateCopy,
                       const std::string& language)
{
    plugin_ = toolText(plugin);
    config_ = toolText(config);
    language_ = toolText(language);
    if (streams())
        write("Plug-in: " + visible(plugin_) + "\nconfig.xml: " + visible(config_) +
              (privateCopy ? " (in a private copy of the plug-in)" : "") + "\n\n");
}

void Reporter::log(const LogRecord& record)
{
    // names shows only its table.
    if (format_ != Format::Json && !streams())
        return;
    if (!headMade_ || record.line != headLine_ || record.file != headFile_ || record.message != headMessage_)
        makeLogHead(record);
    std::string scratch;
    if (format_ == Format::Json) {
        logJson_ += logJson_.empty() ? "\n    {" : ",\n    {";
        logJson_ += logHead_;
        appendJsonString(logJson_, utf8View(record.detail, scratch));
        logJson_ += logTail_;
        return;
    }
    line_.assign(logHead_);
    encoding::appendPrintable(line_, utf8View(record.detail, scratch));
    line_ += logTail_;
    write(line_);
}

void Reporter::makeLogHead(const LogRecord& record)
{
    std::string scratch;
    if (format_ == Format::Json) {
        logHead_.assign("\"message\": ");
        appendJsonString(logHead_, utf8View(record.message, scratch));
        logHead_ += ", \"detail\": ";
        logTail_.assign(", \"file\": ");
        appendJsonString(logTail_, utf8View(record.file, scratch));
        logTail_ += ", \"line\": " + std::to_string(record.line) + "}";
    } else {
        logHead_.assign("log ");
        encoding::appendPrintable(logHead_, utf8View(record.file, scratch));
        logHead_ += ":" + std::to_string(record.line) + " \"";
        encoding::appendPrintable(logHead_, utf8View(record.message, scratch));
        logHead_ += "\" \"";
        logTail_.assign("\"\n");
    }
    headFile_.assign(record.file);
    headMessage_.assign(record.message);
    headLine_ = record.line;
    headMade_ = true;
}

void Reporter::warnings(const std::vector<hostkit::Warning>& shown)
{
    for (hostkit::Warning warning : shown) {
        if (!warning.wide) {
            warning.caption = utf8Of(warning.caption);
            warning.text = utf8Of(warning.text);
        }
        warnings_.push_back(warning);
        if (format_ == Format::Json)
            continue;
        const std::string line = "warning box \"" + visible(warning.caption) + "\": " + visible(warning.text) + "\n";
        // names prints only its table: a warning goes with the errors there.
        if (streams())
            write(line);
        else
            err_ << encoding::utf8ToOutput("wired-host " + command_ + ": " + line, true) << std::flush;
    }
}

void Reporter::links(const std::vector<LinkEntry>& registered)
{
    for (const LinkEntry& link : registered)
        links_.push_back({utf8Of(link.className), utf8Of(link.tableName), link.answer});
}

void Reporter::model(const std::string& description, const std::string& tables)
{
    if (streams())
        write("Model: " + visible(toolText(description)) + "\nTables: " + visible(toolText(tables)) + "\n\n");
}

void Reporter::mapped(ClassEntry entry)
{
    if (entry.ownNames) {
        entry.className = std::move(entry.ownNames->name);
        entry.package = std::move(entry.ownNames->package);
    } else {
        toUtf8(entry.className);
        toUtf8(entry.package);
    }
    toUtf8(entry.tableName);
    classes_.push_back(std::move(entry));
}

void Reporter::found(std::vector<MappingFinding> findings)
{
    findings_ = std::move(findings);
}

void Reporter::finishRun()
{
    if (format_ == Format::Json) {
        writeJson();
    } else {
        out_ << '\n';
        writeTable();
    }
}

std::string Reporter::summary() const
{
    std::size_t counts[static_cast<int>(Outcome::NulInName) + 1] = {};
    std::size_t duplicates = 0;
    for (const ClassEntry& c : classes_) {
        ++counts[static_cast<int>(c.outcome)];
        duplicates += c.duplicate;
    }
    std::string text = count(classes_.size(), "class", "classes") + " read, " +
                       count(counts[static_cast<int>(Outcome::Set)], "table", "tables") + " set, " +
                       std::to_string(counts[static_cast<int>(Outcome::TableNotFound)]) + " not found, " +
                       std::to_string(counts[static_cast<int>(Outcome::Skipped)]) +
                       " skipped by the package filter, " + std::to_string(counts[static_cast<int>(Outcome::Unnamed)]) +
                       " unnamed, ";
    if (counts[static_cast<int>(Outcome::NulInName)] != 0)
        text += std::to_string(counts[static_cast<int>(Outcome::NulInName)]) + " with a NUL in the name, ";
    if (counts[static_cast<int>(Outcome::NothingDone)] != 0)
        text += std::to_string(counts[static_cast<int>(Outcome::NothingDone)]) + " nothing done, ";
    return text + count(duplicates, "duplicate", "duplicates") + ", " +
           count(findings_.size(), "finding", "findings");
}

void Reporter::names(const std::vector<std::string>& arguments, const std::vector<ClassEntry>& entries)
{
    std::size_t width = 0;
    for (const std::string& argument : arguments)
        width = std::max(width, std::min(encoding::characterCount(visible(toolText(argument))), kWidestColumn));
    for (std::size_t i = 0; i < arguments.size() && i < entries.size(); ++i) {
        const ClassEntry& entry = entries[i];
        const std::string table = entry.outcome == Outcome::Set
                                      ? (entry.tableName.empty() ? "\"\"" : visible(utf8Of(entry.tableName)))
                                      : "(" + std::string(outcomeText(entry.outcome)) + ")";
        const std::string shown = visible(toolText(arguments[i]));
        write(padded(shown, std::max(width, encoding::characterCount(shown)) + 2) + table + "\n");
    }
}

void Reporter::hostFit(const std::string& host, const std::string& plugin, const HostVerdict& verdict)
{
    if (format_ == Format::Json) {
        std::string out = "{\n  \"host\": " + quoted(toolText(host)) + ",\n  \"flavour\": " + jsonText(verdict.flavour) +
                          ",\n  \"image\": " + quoted(verdict.image) + ",\n  \"machine\": " +
                          jsonText(verdict.machine) + ",\n  \"dll\": " + (verdict.dll ? "true" : "false") +
                          ",\n  \"runtime\": " + jsonText(verdict.runtime) +
                          ",\n  \"exceptions\": " + jsonText(verdict.exceptions) +
                          ",\n  \"reasons\": " + jsonList(verdict.reasons, "  ") +
                          ",\n  \"plugin\": " + jsonText(toolText(plugin)) + ",\n  \"runtimeDlls\": [";
        for (std::size_t i = 0; i < verdict.runtimeDlls.size(); ++i) {
            const RuntimeCopy& copy = verdict.runtimeDlls[i];
            out += std::string(i ? ",\n" : "\n") + "    {\"dll\": " + quoted(copy.dll) + ", \"state\": " +
                   quoted(stateCode(copy.state)) + ", \"detail\": " + jsonText(copy.detail) +
                   ", \"missing\": " + jsonList(copy.missing, "    ") + "}";
        }
        out += verdict.runtimeDlls.empty() ? "]" : "\n  ]";
        out += ",\n  \"advice\": " + jsonList(verdict.advice, "  ") + ",\n  \"imports\": " +
               jsonList(verdict.imports, "  ") + "\n}\n";
        out_ << out;
        return;
    }
    std::string text = "Host: " + visible(toolText(host)) + "\nFits: " + (verdict.fits() ? verdict.flavour : "none") + "\n";
    text += "Image: " + verdict.image;
    if (!verdict.machine.empty())
        text += " for " + verdict.machine + (verdict.dll ? ", a DLL" : ", a program");
    text += "\n";
    if (!verdict.runtime.empty())
        text += "C++ runtime: " + verdict.runtime +
                (verdict.exceptions.empty() ? "" : ", " + verdict.exceptions + " exceptions") + "\n";
    text += "Why:\n";
    for (const std::string& reason : verdict.reasons)
        text += folded(reason);
    if (!verdict.runtimeDlls.empty()) {
        text += "Runtime DLLs beside the host" + (plugin.empty() ? std::string() : ", against " + visible(toolText(plugin))) +
                ":\n";
        std::size_t width = 0;
        for (const RuntimeCopy& copy : verdict.runtimeDlls)
            width = std::max(width, copy.dll.size());
        for (const RuntimeCopy& copy : verdict.runtimeDlls)
            text += "  " + padded(copy.dll, width + 2) + stateText(copy.state) +
                    (copy.detail.empty() ? "" : " (" + copy.detail + ")") + "\n";
    }
    if (!verdict.advice.empty()) {
        text += "What to do:\n";
        for (const std::string& advice : verdict.advice)
            text += folded(advice);
    }
    write(text);
}

void Reporter::explained(const ClassExplanation& explanation)
{
    if (!explanation.agrees) {
        ++disagreements_;
        err_ << encoding::utf8ToOutput("wired-host " + command_ + ": warning: " +
                                           utf8Of(Explainer::disagreement(explanation)) + "\n",
                                       true)
             << std::flush;
    }
    if (format_ == Format::Json) {
        explanationJson_.push_back(explanationJson(explanation));
        return;
    }
    // names shows each class as it comes; run after its mapping table.
    if (format_ == Format::Names) {
        std::string text = (explanationTexts_.empty() ? "" : "\n") + explanationText(explanation);
        appendClassFindings(text, explanationTexts_.size(), explainedFindings_);
        write(text);
    }
    explanationTexts_.push_back(explanationText(explanation));
}

void Reporter::mappingChanges(const std::string& savedFile, std::size_t savedClasses,
                              std::vector<MappingChange> changes)
{
    compared_ = true;
    savedFile_ = toolText(savedFile);
    savedClasses_ = savedClasses;
    changes_ = std::move(changes);
}

int Reporter::fail(const std::string& message)
{
    err_ << encoding::utf8ToOutput("wired-host " + command_ + ": " + visible(toolText(message)) + "\n", true) << std::flush;
    return 2;
}

void Reporter::warn(const std::string& message)
{
    err_ << encoding::utf8ToOutput("wired-host " + command_ + ": warning: " + visible(toolText(message)) + "\n", true)
         << std::flush;
}

bool Reporter::anyUnmapped() const
{
    return std::any_of(classes_.begin(), classes_.end(), [](const ClassEntry& c) { return c.outcome != Outcome::Set; });
}

std::string Reporter::outcomeOf(const ClassEntry& entry)
{
    return std::string(outcomeText(entry.outcome)) + (entry.duplicate ? " (duplicate)" : "");
}

void Reporter::writeTable() const
{
    // Widths first, then the rows, written in blocks: a big model has
    // 100,000 of them.
    static const std::string kHeader[4] = {"CLASS", "PACKAGE", "TABLE", "OUTCOME"};
    std::size_t widths[3] = {kHeader[0].size(), kHeader[1].size(), kHeader[2].size()};
    // Each cell's width is worked out once.
    std::vector<std::size_t> cellWidths(3 * classes_.size());
    for (std::size_t i = 0; i < classes_.size(); ++i) {
        for (int k = 0; k < 3; ++k) {
            cellWidths[3 * i + k] = kCells[k](classes_[i]).width();
            widths[k] = std::max(widths[k], std::min(cellWidths[3 * i + k], kWidestColumn));
        }
    }
    // How many findings each class and each link has.
    std::vector<std::size_t> classFindings(classes_.size()), linkFindings(links_.size());
    for (const MappingFinding& f : findings_)
        ++(f.onLink ? linkFindings : classFindings)[f.index];
    std::string text;
    for (int k = 0; k < 3; ++k)
        text += kHeader[k] + std::string(widths[k] + 2 - kHeader[k].size(), ' ');
    text += kHeader[3] + "\n";
    for (std::size_t i = 0; i < classes_.size(); ++i) {
        const ClassEntry& c = classes_[i];
        for (int k = 0; k < 3; ++k)
            kCells[k](c).append(text, cellWidths[3 * i + k], std::max(widths[k], cellWidths[3 * i + k]) + 2);
        text += outcomeText(c.outcome);
        if (c.duplicate)
            text += " (duplicate)";
        text += findingsMark(classFindings[i]);
        text += '\n';
        writeBlock(text);
    }
    if (classes_.empty())
        text += "(the model has no classes)\n";

    text += "\nLinks registered at creation:";
    if (links_.empty())
        text += " none";
    text += "\n";
    for (std::size_t i = 0; i < links_.size(); ++i)
        text += "  " + visible(links_[i].className) + " -> " + visible(links_[i].tableName) + "  " + links_[i].outcome() +
                findingsMark(linkFindings[i]) + "\n";
    writeFindings(text);
    if (compared_) {
        std::size_t counts[3] = {0, 0, 0};
        text += "\nChanges since " + visible(savedFile_) + ":";
        text += changes_.empty() ? " none, its " + count(savedClasses_, "class", "classes") + " as saved\n" : "\n";
        for (const MappingChange& change : changes_) {
            ++counts[change.kind];
            text += std::string("  ") + changeKind(change) + "  ";
            if (change.kind == MappingChange::Added)
                text += classOf(*change.after) + "  " + mappedTo(*change.after) + "\n";
            else if (change.kind == MappingChange::Removed)
                text += classOf(*change.before) + "  was " + mappedTo(*change.before) + "\n";
            else
                text += classOf(*change.after) + "  " + mappedTo(*change.before) + " -> " + mappedTo(*change.after) + "\n";
            writeBlock(text);
        }
        if (!changes_.empty())
            text += std::to_string(changes_.size()) + (changes_.size() == 1 ? " change: " : " changes: ") + std::to_string(counts[MappingChange::Added]) +
                    " added, " + std::to_string(counts[MappingChange::Removed]) + " removed, " +
                    std::to_string(counts[MappingChange::Changed]) + " changed.\n";
    }
    if (!explanationTexts_.empty())
        text += "\nWhy each class got its name:\n";
    // Each explanation ends with its class's findings; they come by class.
    std::size_t next = 0;
    for (std::size_t i = 0; i < explanationTexts_.size(); ++i) {
        text += "\n" + explanationTexts_[i];
        appendClassFindings(text, i, next);
        writeBlock(text);
    }
    text += "\n" + summary() + "\n";
    write(text);
}

void Reporter::appendClassFindings(std::string& text, std::size_t i, std::size_t& next) const
{
    for (; next < findings_.size() && !findings_[next].onLink && findings_[next].index <= i; ++next) {
        const MappingFinding& f = findings_[next];
        if (f.index == i)
            text += std::string("  finding   ") + MappingFinding::kindName(f.kind) +
                    (f.target ? std::string(" on ") + f.target->name : "") + ": " + f.message() + "\n";
    }
}

void Reporter::namesFindings() const
{
    std::string text;
    writeFindings(text);
    if (findings_.empty())
        text = "\nNo findings.\n";
    write(text);
}

void Reporter::writeFindings(std::string& text) const
{
    if (findings_.empty())
        return;
    text += "\nFindings:\n";
    for (const FindingKind kind : MappingFinding::kinds()) {
        bool any = false;
        for (const MappingFinding& f : findings_) {
            if (f.kind != kind)
                continue;
            if (!any)
                text += std::string(MappingFinding::kindName(kind)) + "\n";
            any = true;
            // The table above holds the names whole; here they only say
            // whose finding it is, and a name of megabytes is not repeated
            // for every target.
            std::string subject;
            if (f.onLink) {
                subject = "link " + shortened(links_[f.index].className) + " -> " + shortened(links_[f.index].tableName);
            } else {
                const ClassEntry& c = classes_[f.index];
                subject = shortened(c.className) + (c.package.empty() ? "" : " (" + shortened(c.package) + ")");
            }
            text += "  " + encoding::printable(subject) + (f.target ? std::string(" [") + f.target->name + "]" : "") +
                    ": " + f.message() + "\n";
            writeBlock(text);
        }
    }
}

void Reporter::writeJson() const
{
    // Always UTF-8, whatever the console: JSON is for programs. Built in a
    // buffer written out in blocks: a big model's document has hundreds of
    // thousands of records.
    std::string out;
    const auto flushed = [this, &out](bool last) {
        if (last || out.size() >= 64 * 1024) {
            out_.write(out.data(), static_cast<std::streamsize>(out.size()));
            out.clear();
        }
    };
    out += "{\n  \"plugin\": " + quoted(plugin_) + ",\n  \"config\": " + quoted(config_) +
           ",\n  \"language\": " + quoted(language_) + ",\n  \"warnings\": [";
    for (std::size_t i = 0; i < warnings_.size(); ++i)
        out += (i ? ",\n    " : "\n    ") + std::string("{\"caption\": ") + quoted(warnings_[i].caption) +
               ", \"text\": " + quoted(warnings_[i].text) + "}";
    out += warnings_.empty() ? "],\n  \"log\": [" : "\n  ],\n  \"log\": [";
    flushed(true);
    out_.write(logJson_.data(), static_cast<std::streamsize>(logJson_.size()));
    out += logJson_.empty() ? "],\n  \"links\": [" : "\n  ],\n  \"links\": [";
    // The findings come by class first, then by link.
    std::size_t linkNext = static_cast<std::size_t>(
        std::partition_point(findings_.begin(), findings_.end(), [](const MappingFinding& f) { return !f.onLink; }) -
        findings_.begin());
    for (std::size_t i = 0; i < links_.size(); ++i) {
        out += (i ? ",\n    " : "\n    ") + std::string("{\"class\": ") + quoted(links_[i].className) +
               ", \"table\": " + quoted(links_[i].tableName) + ", \"answer\": " + std::to_string(links_[i].answer) +
               ", \"outcome\": " + quoted(links_[i].outcome()) +
               ", \"findings\": " + findingsJson(findings_, linkNext, true, i) + "}";
        flushed(false);
    }
    out += links_.empty() ? "],\n  \"classes\": [" : "\n  ],\n  \"classes\": [";
    std::size_t classNext = 0;
    for (std::size_t i = 0; i < classes_.size(); ++i) {
        const ClassEntry& c = classes_[i];
        const bool named = c.outcome == Outcome::Set || c.outcome == Outcome::TableNotFound;
        out += i ? ",\n    {\"class\": " : "\n    {\"class\": ";
        appendJsonString(out, c.className);
        out += ", \"package\": ";
        appendJsonString(out, c.package);
        out += ", \"table\": ";
        if (named)
            appendJsonString(out, c.tableName);
        else
            out += "null";
        out += ", \"outcome\": ";
        appendJsonString(out, outcomeOf(c));
        if (i < explanationJson_.size()) {
            out += ", \"explanation\": ";
            out += explanationJson_[i];
        }
        out += ", \"findings\": ";
        out += findingsJson(findings_, classNext, false, i);
        out += "}";
        flushed(false);
    }
    out += classes_.empty() ? "]" : "\n  ]";
    if (compared_) {
        out += ",\n  \"changes\": {\"since\": " + quoted(savedFile_) + ", \"list\": [";
        for (std::size_t i = 0; i < changes_.size(); ++i) {
            const MappingChange& change = changes_[i];
            const MappingRow& row = change.kind == MappingChange::Added ? *change.after : *change.before;
            out += (i ? ",\n    " : "\n    ") + std::string("{\"change\": \"") + changeKind(change) +
                   "\", \"package\": " + quoted(row.package) + ", \"class\": " + quoted(row.className) +
                   ", \"before\": " + (change.before == nullptr ? "null" : rowJson(*change.before)) +
                   ", \"after\": " + (change.after == nullptr ? "null" : rowJson(*change.after)) + "}";
            flushed(false);
        }
        out += changes_.empty() ? "]}" : "\n  ]}";
    }
    out += ",\n  \"findings\": {";
    for (const FindingKind kind : MappingFinding::kinds()) {
        const auto n = std::count_if(findings_.begin(), findings_.end(),
                                     [kind](const MappingFinding& f) { return f.kind == kind; });
        out += (kind == MappingFinding::kinds().front() ? "" : ", ") + quoted(MappingFinding::kindName(kind)) + ": " +
               std::to_string(n);
    }
    out += "},\n  \"summary\": " + quoted(summary()) + "\n}\n";
    flushed(true);
}

} // namespace wiredhost
