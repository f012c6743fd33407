#include "Report.h"

#include <algorithm>
#include <cstdio>

namespace wiredhost {

namespace {

// Bytes in a UTF-8 sequence that starts with lead; 0 when lead cannot start one.
std::size_t sequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

bool isUtf8(const std::string& text)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = sequenceLength(static_cast<unsigned char>(text[i]));
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

// A JSON string. Texts are bytes in the host's code page: UTF-8 text is
// written as it is; any other text (a GBK caption, say) has each byte from
// 0x80 up written as \u00XX, so the output stays valid and every byte can be
// recovered.
std::string quoted(const std::string& text)
{
    const bool utf8 = isUtf8(text);
    std::string out = "\"";
    char escape[8];
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || (c >= 0x80 && !utf8)) {
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

const char* linkOutcome(int answer)
{
    if (answer > 0)
        return "set";
    return answer < 0 ? "failed" : "nothing done";
}

std::string shownTable(const ClassEntry& entry)
{
    if (entry.outcome == Outcome::Skipped || entry.outcome == Outcome::NothingDone || entry.outcome == Outcome::Unnamed)
        return "-";
    return entry.tableName.empty() ? "\"\"" : entry.tableName;
}

std::string padded(const std::string& text, std::size_t width)
{
    return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

} // namespace

Reporter::Reporter(const std::string& command, Format format, std::ostream& out, std::ostream& err)
    : command_(command), format_(format), out_(out), err_(err)
{
}

void Reporter::session(const std::string& plugin, const std::string& config, bool privateCopy,
                       const std::string& language)
{
    plugin_ = plugin;
    config_ = config;
    language_ = language;
    if (!streams())
        return;
    out_ << "Plug-in: " << plugin << "\n";
    out_ << "config.xml: " << config << (privateCopy ? " (in a private copy of the plug-in)" : "") << "\n\n";
}

void Reporter::log(const LogEntry& entry)
{
    log_.push_back(entry);
    if (streams())
        out_ << "log " << entry.file << ":" << entry.line << " \"" << entry.message << "\" \"" << entry.detail << "\""
             << std::endl;
}

void Reporter::warnings(const std::vector<hostkit::Warning>& shown)
{
    for (const hostkit::Warning& warning : shown) {
        warnings_.push_back(warning);
        if (format_ == Format::Json)
            continue;
        // names prints only its table: a warning goes with the errors there.
        std::ostream& stream = streams() ? out_ : err_;
        stream << (streams() ? "" : "wired-host " + command_ + ": ") << "warning box \"" << warning.caption
               << "\": " << warning.text << std::endl;
    }
}

void Reporter::links(const std::vector<LinkEntry>& registered)
{
    links_ = registered;
}

void Reporter::model(const std::string& description, const std::string& tables)
{
    if (streams())
        out_ << "Model: " << description << "\nTables: " << tables << "\n\n";
}

void Reporter::mapped(const ClassEntry& entry)
{
    classes_.push_back(entry);
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

void Reporter::name(const std::string& argument, const ClassEntry& entry, std::size_t width)
{
    out_ << padded(argument, width + 2);
    if (entry.outcome == Outcome::Set)
        out_ << (entry.tableName.empty() ? "\"\"" : entry.tableName) << '\n';
    else
        out_ << "(" << outcomeText(entry.outcome) << ")\n";
}

int Reporter::fail(const std::string& message)
{
    err_ << "wired-host " << command_ << ": " << message << '\n';
    return 2;
}

bool Reporter::anyUnmapped() const
{
    return std::any_of(classes_.begin(), classes_.end(), [](const ClassEntry& c) { return c.outcome != Outcome::Set; });
}

const char* Reporter::outcomeText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Set:
        return "set";
    case Outcome::TableNotFound:
        return "table not found";
    case Outcome::Skipped:
        return "skipped by the package filter";
    case Outcome::Unnamed:
        return "unnamed: not converted";
    case Outcome::NothingDone:
        break;
    }
    return "nothing done";
}

std::string Reporter::outcomeOf(const ClassEntry& entry)
{
    return std::string(outcomeText(entry.outcome)) + (entry.duplicate ? " (duplicate)" : "");
}

void Reporter::writeTable() const
{
    std::vector<std::vector<std::string>> rows{{"CLASS", "PACKAGE", "TABLE", "OUTCOME"}};
    for (const ClassEntry& c : classes_)
        rows.push_back({c.outcome == Outcome::Unnamed ? "(unnamed)" : c.className, c.package.empty() ? "-" : c.package,
                        shownTable(c), outcomeOf(c)});
    std::size_t widths[3] = {};
    for (const auto& row : rows) {
        for (int k = 0; k < 3; ++k)
            widths[k] = std::max(widths[k], row[k].size());
    }
    for (const auto& row : rows)
        out_ << padded(row[0], widths[0] + 2) << padded(row[1], widths[1] + 2) << padded(row[2], widths[2] + 2)
             << row[3] << '\n';
    if (classes_.empty())
        out_ << "(the model has no classes)\n";

    out_ << "\nLinks registered at creation:";
    if (links_.empty())
        out_ << " none";
    out_ << '\n';
    for (const LinkEntry& link : links_)
        out_ << "  " << link.className << " -> " << link.tableName << "  " << linkOutcome(link.answer) << '\n';
}

void Reporter::writeJson() const
{
    std::ostream& out = out_;
    out << "{\n  \"plugin\": " << quoted(plugin_) << ",\n  \"config\": " << quoted(config_)
        << ",\n  \"language\": " << quoted(language_) << ",\n  \"warnings\": [";
    for (std::size_t i = 0; i < warnings_.size(); ++i)
        out << (i ? ",\n    " : "\n    ") << "{\"caption\": " << quoted(warnings_[i].caption)
            << ", \"text\": " << quoted(warnings_[i].text) << "}";
    out << (warnings_.empty() ? "" : "\n  ") << "],\n  \"log\": [";
    for (std::size_t i = 0; i < log_.size(); ++i)
        out << (i ? ",\n    " : "\n    ") << "{\"message\": " << quoted(log_[i].message) << ", \"detail\": "
            << quoted(log_[i].detail) << ", \"file\": " << quoted(log_[i].file) << ", \"line\": " << log_[i].line
            << "}";
    out << (log_.empty() ? "" : "\n  ") << "],\n  \"links\": [";
    for (std::size_t i = 0; i < links_.size(); ++i)
        out << (i ? ",\n    " : "\n    ") << "{\"class\": " << quoted(links_[i].className) << ", \"table\": "
            << quoted(links_[i].tableName) << ", \"answer\": " << links_[i].answer << ", \"outcome\": "
            << quoted(linkOutcome(links_[i].answer)) << "}";
    out << (links_.empty() ? "" : "\n  ") << "],\n  \"classes\": [";
    for (std::size_t i = 0; i < classes_.size(); ++i) {
        const ClassEntry& c = classes_[i];
        const bool named = c.outcome == Outcome::Set || c.outcome == Outcome::TableNotFound;
        out << (i ? ",\n    " : "\n    ") << "{\"class\": " << quoted(c.className) << ", \"package\": "
            << quoted(c.package) << ", \"table\": " << (named ? quoted(c.tableName) : "null")
            << ", \"outcome\": " << quoted(outcomeOf(c)) << "}";
    }
    out << (classes_.empty() ? "" : "\n  ") << "]\n}\n";
}

} // namespace wiredhost
