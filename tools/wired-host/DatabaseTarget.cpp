#include "DatabaseTarget.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "model/Encoding.h"

namespace wiredhost {

namespace {

// MySQL and MariaDB compare table names case-insensitively where
// lower_case_table_names is 1, the default on Windows, where these models
// are made; a mapping that works there works on Linux too.
const std::vector<DatabaseTarget> kTargets = {
    {"oracle", "Oracle", 128, LengthUnit::Bytes, CaseRule::FoldsToUpper, false, "oracle", false},
    {"oracle11", "Oracle before 12.2", 30, LengthUnit::Bytes, CaseRule::FoldsToUpper, false, "oracle", false},
    {"postgresql", "PostgreSQL", 63, LengthUnit::Bytes, CaseRule::FoldsToLower, true, "postgresql", true},
    {"mysql", "MySQL", 64, LengthUnit::Characters, CaseRule::Insensitive, false, "mysql", false},
    {"mariadb", "MariaDB", 64, LengthUnit::Characters, CaseRule::Insensitive, false, "mariadb", false},
    {"sqlserver", "SQL Server", 128, LengthUnit::Characters, CaseRule::Insensitive, false, "sqlserver", false},
    {"db2", "Db2", 128, LengthUnit::Bytes, CaseRule::FoldsToUpper, false, "db2", false},
    {"sqlite", "SQLite", 0, LengthUnit::Bytes, CaseRule::Insensitive, false, "sqlite", true},
    // The standard folds regular identifiers to upper case; its length
    // limit is left to the products.
    {"sql2016", "SQL:2016", 0, LengthUnit::Bytes, CaseRule::FoldsToUpper, false, "sql2016", false},
};

std::string lowered(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

const WordList& DatabaseTarget::words() const
{
    const WordList* list = WordList::find(wordList);
    if (list == nullptr)
        throw std::logic_error(std::string("no reserved-word list ") + wordList);
    return *list;
}

std::size_t DatabaseTarget::lengthOf(const std::string& utf8) const
{
    return unit == LengthUnit::Bytes ? utf8.size() : encoding::characterCount(utf8);
}

std::size_t DatabaseTarget::keptLength(const std::string& utf8) const
{
    if (!truncates || utf8.size() <= maxLength)
        return utf8.size();
    // Back to the start of the character that would be cut in two.
    std::size_t cut = maxLength;
    while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80)
        --cut;
    return cut;
}

std::string DatabaseTarget::keptName(const std::string& utf8) const
{
    return utf8.substr(0, keptLength(utf8));
}

const char* DatabaseTarget::caseText() const
{
    switch (caseRule) {
    case CaseRule::FoldsToUpper:
        return "folded to upper case";
    case CaseRule::FoldsToLower:
        return "folded to lower case";
    case CaseRule::Insensitive:
        break;
    }
    return "compared case-insensitively";
}

const char* DatabaseTarget::unitText(LengthUnit unit)
{
    return unit == LengthUnit::Bytes ? "bytes" : "characters";
}

const std::vector<DatabaseTarget>& DatabaseTarget::all()
{
    return kTargets;
}

const DatabaseTarget* DatabaseTarget::find(const std::string& name)
{
    const std::string wanted = lowered(name);
    for (const DatabaseTarget& target : kTargets) {
        if (wanted == target.name)
            return &target;
    }
    return nullptr;
}

bool DatabaseTarget::parseList(const std::string& list, std::vector<const DatabaseTarget*>& targets, std::string& error)
{
    std::vector<bool> chosen(kTargets.size(), false);
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        std::string item = list.substr(start, end - start);
        item.erase(0, item.find_first_not_of(" \t"));
        item.erase(item.find_last_not_of(" \t") + 1);
        if (lowered(item) == "all") {
            chosen.assign(kTargets.size(), true);
        } else if (const DatabaseTarget* target = find(item)) {
            chosen[static_cast<std::size_t>(target - kTargets.data())] = true;
        } else {
            error = (item.empty() ? std::string("an empty target in --target") : "unknown target '" + item + "'") +
                    "; the targets are " + knownNames() + ", or all";
            return false;
        }
        start = end + 1;
    }
    targets.clear();
    for (std::size_t i = 0; i < kTargets.size(); ++i) {
        if (chosen[i])
            targets.push_back(&kTargets[i]);
    }
    return true;
}

std::string DatabaseTarget::knownNames()
{
    std::string names;
    for (const DatabaseTarget& target : kTargets)
        names += (names.empty() ? "" : ", ") + std::string(target.name);
    return names;
}

} // namespace wiredhost
