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
    if (entry.outcome == Outcome::Skipped || entry.outcome == Outcome::NothingDone)
        return "-";
    return entry.tableName.empty() ? "\"\"" : entry.tableName;
}

std::string padded(const std::string& text, std::size_t width)
{
    return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

} // namespace

bool Report::anyUnmapped() const
{
    return std::any_of(classes.begin(), classes.end(), [](const ClassEntry& c) { return c.outcome != Outcome::Set; });
}

const char* Report::outcomeText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Set:
        return "set";
    case Outcome::TableNotFound:
        return "table not found";
    case Outcome::Skipped:
        return "skipped by the package filter";
    case Outcome::NothingDone:
        break;
    }
    return "nothing done";
}

std::string Report::logLine(const LogEntry& entry)
{
    return "log " + entry.file + ":" + std::to_string(entry.line) + " \"" + entry.message + "\" \"" + entry.detail + "\"";
}

std::string Report::warningLine(const WarningEntry& entry)
{
    return "warning box \"" + entry.caption + "\": " + entry.text;
}

void Report::writeTable(std::ostream& out) const
{
    std::vector<std::vector<std::string>> rows{{"CLASS", "PACKAGE", "TABLE", "OUTCOME"}};
    for (const ClassEntry& c : classes)
        rows.push_back({c.className, c.package.empty() ? "-" : c.package, shownTable(c), outcomeText(c.outcome)});
    std::size_t widths[3] = {};
    for (const auto& row : rows) {
        for (int k = 0; k < 3; ++k)
            widths[k] = std::max(widths[k], row[k].size());
    }
    for (const auto& row : rows)
        out << padded(row[0], widths[0] + 2) << padded(row[1], widths[1] + 2) << padded(row[2], widths[2] + 2) << row[3]
            << '\n';
    if (classes.empty())
        out << "(the model has no classes)\n";

    out << "\nLinks registered at creation:";
    if (links.empty())
        out << " none";
    out << '\n';
    for (const LinkEntry& link : links)
        out << "  " << link.className << " -> " << link.tableName << "  " << linkOutcome(link.answer) << '\n';
}

void Report::writeJson(std::ostream& out) const
{
    out << "{\n  \"plugin\": " << quoted(plugin) << ",\n  \"config\": " << quoted(config)
        << ",\n  \"language\": " << quoted(language) << ",\n  \"warnings\": [";
    for (std::size_t i = 0; i < warnings.size(); ++i)
        out << (i ? ",\n    " : "\n    ") << "{\"caption\": " << quoted(warnings[i].caption)
            << ", \"text\": " << quoted(warnings[i].text) << "}";
    out << (warnings.empty() ? "" : "\n  ") << "],\n  \"log\": [";
    for (std::size_t i = 0; i < log.size(); ++i)
        out << (i ? ",\n    " : "\n    ") << "{\"message\": " << quoted(log[i].message) << ", \"detail\": "
            << quoted(log[i].detail) << ", \"file\": " << quoted(log[i].file) << ", \"line\": " << log[i].line << "}";
    out << (log.empty() ? "" : "\n  ") << "],\n  \"links\": [";
    for (std::size_t i = 0; i < links.size(); ++i)
        out << (i ? ",\n    " : "\n    ") << "{\"class\": " << quoted(links[i].className) << ", \"table\": "
            << quoted(links[i].tableName) << ", \"answer\": " << links[i].answer << ", \"outcome\": "
            << quoted(linkOutcome(links[i].answer)) << "}";
    out << (links.empty() ? "" : "\n  ") << "],\n  \"classes\": [";
    for (std::size_t i = 0; i < classes.size(); ++i) {
        const ClassEntry& c = classes[i];
        const bool named = c.outcome == Outcome::Set || c.outcome == Outcome::TableNotFound;
        out << (i ? ",\n    " : "\n    ") << "{\"class\": " << quoted(c.className) << ", \"package\": "
            << quoted(c.package) << ", \"table\": " << (named ? quoted(c.tableName) : "null")
            << ", \"outcome\": " << quoted(outcomeText(c.outcome)) << "}";
    }
    out << (classes.empty() ? "" : "\n  ") << "]\n}\n";
}

} // namespace wiredhost
