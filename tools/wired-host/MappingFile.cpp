#include "MappingFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <tuple>

#include "model/Encoding.h"
#include "model/Model.h"
#include "model/Text.h"
#include "Files.h"

namespace wiredhost {

namespace {

// The outcomes as the file writes them; they never change, whatever the
// report calls them.
const char* const kOutcomeKeys[] = {"set", "table-not-found", "skipped", "nothing-done", "unnamed", "nul-in-name"};

bool knownOutcome(const std::string& key)
{
    return std::find(std::begin(kOutcomeKeys), std::end(kOutcomeKeys), key) != std::end(kOutcomeKeys);
}

std::string escaped(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\0':
            // A NUL would make the file binary to git and to diff.
            out += "\\0";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// False with the reason when the field holds a backslash that starts none
// of the five escapes.
bool unescaped(const std::string& field, std::string& text, std::string& reason)
{
    text.clear();
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            text += field[i];
            continue;
        }
        static const char kEscapes[][2] = {{'\\', '\\'}, {'t', '\t'}, {'n', '\n'}, {'r', '\r'}, {'0', '\0'}};
        const bool last = i + 1 == field.size();
        const char next = last ? '\0' : field[i + 1];
        const auto found = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                        [next](const char (&e)[2]) { return e[0] == next; });
        if (last || found == std::end(kEscapes)) {
            reason = last ? "a backslash at the end of a field (write \\\\ for one)"
                          : std::string("unknown escape \\") + next + " (only \\t, \\n, \\r, \\0 and \\\\)";
            return false;
        }
        text += (*found)[1];
        ++i;
    }
    return true;
}

std::vector<std::string> fieldsOf(const std::string& line)
{
    std::vector<std::string> fields(1);
    for (const char c : line) {
        if (c == '\t')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

bool sameClass(const MappingRow& a, const MappingRow& b)
{
    return a.package == b.package && a.className == b.className;
}

} // namespace

const char MappingFile::kHeader[] = "package\tclass\ttable\toutcome";

bool MappingRow::operator<(const MappingRow& other) const
{
    return std::tie(package, className, table, outcome) <
           std::tie(other.package, other.className, other.table, other.outcome);
}

bool MappingRow::operator==(const MappingRow& other) const
{
    return sameClass(*this, other) && table == other.table && outcome == other.outcome;
}

const char* MappingFile::outcomeKey(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Set:
        return kOutcomeKeys[0];
    case Outcome::TableNotFound:
        return kOutcomeKeys[1];
    case Outcome::Skipped:
        return kOutcomeKeys[2];
    case Outcome::NothingDone:
        return kOutcomeKeys[3];
    case Outcome::NulInName:
        return kOutcomeKeys[5];
    case Outcome::Unnamed:
        break;
    }
    return kOutcomeKeys[4];
}

std::vector<MappingRow> MappingFile::rowsOf(const std::vector<ClassEntry>& classes)
{
    std::vector<MappingRow> rows;
    rows.reserve(classes.size());
    for (const ClassEntry& c : classes)
        rows.push_back({c.package, c.className, c.tableName, outcomeKey(c.outcome)});
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::string MappingFile::text(const std::vector<MappingRow>& rows)
{
    std::string out = std::string(kHeader) + "\n";
    for (const MappingRow& row : rows)
        out += escaped(row.package) + '\t' + escaped(row.className) + '\t' + escaped(row.table) + '\t' + row.outcome +
               '\n';
    return out;
}

namespace {

// A folder, a pipe or a device at path, said as such; "" for a file or
// nothing.
std::string notASaveTarget(const std::string& path)
{
    return hostkit::files::exists(path) ? hostkit::files::notAFile(path, "a file to save the mapping in")
                                        : std::string();
}

} // namespace

bool MappingFile::mayOverwrite(const std::string& path, std::string& error)
{
    // Said before the run, not after a long one.
    error = notASaveTarget(path);
    if (!error.empty())
        return false;
    const std::string folder = hostkit::files::folderOf(hostkit::files::absolute(path));
    if (!hostkit::files::isDirectory(folder)) {
        error = path + ": cannot save the mapping there: no folder " + folder;
        return false;
    }
    if (!hostkit::files::exists(path))
        return true;
    std::FILE* file = hostkit::files::openFile(path, "rb");
    if (file == nullptr)
        return true; // said when it is written
    // A byte-order mark, the header and the byte after it.
    char head[3 + sizeof kHeader] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    std::string start(head, got);
    // A byte-order mark an editor added does not make it another file.
    if (startsWithByteOrderMark(start))
        start.erase(0, 3);
    const std::size_t headerSize = sizeof kHeader - 1;
    const bool mapping = start.compare(0, headerSize, kHeader) == 0 &&
                         (start.size() == headerSize || start[headerSize] == '\n' || start[headerSize] == '\r');
    if (start.empty() || mapping)
        return true;
    error = path + ": holds something other than a saved mapping; not written over (give a new file, or delete "
                   "this one first)";
    return false;
}

bool MappingFile::save(const std::string& path, const std::vector<MappingRow>& rows, std::string& error)
{
    error = notASaveTarget(path);
    if (!error.empty())
        return false;
    // Binary: the same LF line ends on every platform. A mapping that is
    // committed beside the model must survive a save that fails half-way.
    if (!hostkit::files::replaceFile(path, text(rows))) {
        error = path + ": cannot write the mapping file (no such folder, no right to write there, or a full "
                       "disk); a mapping saved there before is kept";
        return false;
    }
    return true;
}

bool MappingFile::parse(const std::string& text, const std::string& path, std::vector<MappingRow>& rows,
                        std::string& error)
{
    rows.clear();
    // A row a line with three tabs: a saved mapping of a million classes is
    // one block, and a file of blank lines or of tabs reserves nothing.
    rows.reserve(std::min(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')),
                          static_cast<std::size_t>(std::count(text.begin(), text.end(), '\t')) / 3));
    const auto fail = [&](std::size_t line, const std::string& what) {
        error = path + ":" + std::to_string(line) + ": " + what;
        return false;
    };
    if (text.empty())
        return fail(1, "the file is empty: not a mapping saved by wired-host run --save-mapping");
    // What an editor's "Unicode" or a Windows shell's redirection writes.
    if (text.compare(0, 2, "\xFF\xFE") == 0 || text.compare(0, 2, "\xFE\xFF") == 0)
        return fail(1, "UTF-16 text, not the UTF-8 of a saved mapping: save it again as UTF-8");
    // An editor may have added a byte-order mark or CR line ends; a CR that
    // belongs to a name is written \r.
    std::size_t start = startsWithByteOrderMark(text) ? 3 : 0;
    if (start == text.size())
        return fail(1, "the file holds only a byte-order mark: not a mapping saved by wired-host run --save-mapping");
    std::size_t number = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (number == 1) {
            if (line.compare(0, std::strlen(kHeader) + 1, std::string(kHeader) + '\r') == 0)
                return fail(1, "its lines end in a lone CR: save it again with LF or CRLF line ends");
            if (line != kHeader)
                return fail(1, "not a mapping saved by wired-host run --save-mapping: the first line is not "
                               "the header \"package<TAB>class<TAB>table<TAB>outcome\"");
            continue;
        }
        if (line.empty())
            continue;
        if (!encoding::isValidUtf8(line))
            return fail(number, "not UTF-8 text");
        // Counted before they are split: a line of millions of tabs is
        // refused without a string for each.
        const std::size_t tabs = static_cast<std::size_t>(std::count(line.begin(), line.end(), '\t'));
        if (tabs != 3)
            return fail(number, std::to_string(tabs + 1) +
                                    " fields separated by tabs, not 4 (package, class, table, outcome)");
        const std::vector<std::string> fields = fieldsOf(line);
        MappingRow row;
        std::string reason;
        if (!unescaped(fields[0], row.package, reason) || !unescaped(fields[1], row.className, reason) ||
            !unescaped(fields[2], row.table, reason))
            return fail(number, reason);
        if (!knownOutcome(fields[3]))
            return fail(number, "unknown outcome \"" + fields[3] +
                                    "\" (set, table-not-found, skipped, nothing-done, unnamed or nul-in-name)");
        row.outcome = fields[3];
        // No model wired-host reads has more classes, so no run saved more.
        if (rows.size() == Model::kMaxClasses)
            return fail(number, "more than " + std::to_string(Model::kMaxClasses) +
                                    " classes, more than any model wired-host reads: not a saved mapping");
        rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    return true;
}

bool MappingFile::read(const std::string& path, std::vector<MappingRow>& rows, std::string& error)
{
    std::string bytes;
    // No such file, a folder or a pipe is said as such; a pipe is never
    // opened, so nothing waits for a writer.
    if (!hostkit::files::readFile(path, "the mapping file", bytes, error))
        return false;
    return parse(bytes, path, rows, error);
}

std::vector<MappingChange> MappingFile::compare(const std::vector<MappingRow>& saved, const std::vector<MappingRow>& now)
{
    std::vector<MappingChange> changes;
    std::vector<const MappingRow*> before, after;
    std::size_t i = 0, j = 0;
    while (i < saved.size() || j < now.size()) {
        // The rows of one class on each side (more than one for duplicates).
        const MappingRow& key =
            j == now.size() || (i < saved.size() && saved[i] < now[j]) ? saved[i] : now[j];
        std::size_t savedEnd = i, nowEnd = j;
        while (savedEnd < saved.size() && sameClass(saved[savedEnd], key))
            ++savedEnd;
        while (nowEnd < now.size() && sameClass(now[nowEnd], key))
            ++nowEnd;
        // Rows alike on both sides are no change; the rest pair up in
        // order. Both sides are sorted, so the rows alike drop out in one
        // merge, however many duplicates a class has.
        before.clear();
        after.clear();
        while (i < savedEnd || j < nowEnd) {
            if (i < savedEnd && j < nowEnd && saved[i] == now[j]) {
                ++i;
                ++j;
            } else if (j == nowEnd || (i < savedEnd && saved[i] < now[j])) {
                before.push_back(&saved[i++]);
            } else {
                after.push_back(&now[j++]);
            }
        }
        std::size_t k = 0;
        for (; k < before.size() && k < after.size(); ++k)
            changes.push_back({MappingChange::Changed, before[k], after[k]});
        for (std::size_t r = k; r < before.size(); ++r)
            changes.push_back({MappingChange::Removed, before[r], nullptr});
        for (std::size_t a = k; a < after.size(); ++a)
            changes.push_back({MappingChange::Added, nullptr, after[a]});
    }
    return changes;
}

} // namespace wiredhost
