#include "Explainer.h"

#include "model/Encoding.h"
#include "JsonText.h"

namespace wiredhost {

namespace {

const std::size_t kNone = kavri::KavriNaming::kNone;

std::string utf8Of(const std::string& hostText)
{
    return encoding::repairedUtf8(encoding::hostToUtf8(hostText));
}

// As the terminal is given it: control characters in a name or a code
// are escaped, as in the table.
std::string printableOf(const std::string& hostText)
{
    return encoding::printable(utf8Of(hostText));
}

std::string shown(const std::string& hostText)
{
    return "\"" + printableOf(hostText) + "\"";
}

std::string json(const std::string& hostText)
{
    return jsonString(utf8Of(hostText));
}

std::string qualified(const std::string& package, const std::string& name)
{
    return package.empty() ? name : package + "." + name;
}

// What the package filter made of code i: the first code that matches ends
// the search.
const char* packageVerdict(const kavri::KavriNaming::Explanation& steps, std::size_t i)
{
    if (i == steps.packageCode)
        return "matches";
    return steps.packageCode == kNone || i < steps.packageCode ? "no match" : "not tested";
}

// Each code is listed up to kListedCodes, and the one that matches: a
// config of many thousand codes would otherwise explain every class in
// megabytes.
const std::size_t kListedCodes = 32;

// The numbers of the codes listed, in order.
std::vector<std::size_t> listedCodes(const kavri::KavriNaming::Explanation& steps, std::size_t count)
{
    std::vector<std::size_t> listed;
    for (std::size_t i = 0; i < count && i < kListedCodes; ++i)
        listed.push_back(i);
    if (steps.packageCode != kNone && steps.packageCode >= kListedCodes && steps.packageCode < count)
        listed.push_back(steps.packageCode);
    return listed;
}

// Where each underscore stands, counted in characters of the table name,
// or of the name as shown (escapes take more than one): each stretch
// between two is counted once (an underscore stands between characters,
// never inside one), so a name of many words costs its length.
std::vector<std::size_t> underscoreColumns(const ClassExplanation& explained, bool asShown)
{
    std::vector<std::size_t> columns;
    columns.reserve(explained.steps.underscores.size());
    std::size_t from = 0, column = 0;
    for (const std::size_t at : explained.steps.underscores) {
        const std::string stretch = utf8Of(explained.steps.tableName.substr(from, at - from));
        column += asShown ? encoding::printableWidth(stretch) : encoding::characterCount(stretch);
        columns.push_back(column);
        from = at;
    }
    return columns;
}

std::string answerText(const ClassEntry& answered)
{
    const bool named = answered.outcome == Outcome::Set || answered.outcome == Outcome::TableNotFound ||
                       (answered.outcome == Outcome::NothingDone && !answered.tableName.empty());
    const std::string outcome = outcomeText(answered.outcome);
    return named ? shown(answered.tableName) + " (" + outcome + ")" : outcome;
}

} // namespace

Explainer::Explainer(std::vector<std::string> packageCodes, std::vector<std::string> leaderCodes,
                     std::vector<LinkEntry> links)
    : packageCodes_(packageCodes), leaderCodes_(leaderCodes), links_(std::move(links))
{
}

ClassExplanation Explainer::explain(const ClassEntry& answered) const
{
    ClassExplanation explained;
    explained.className = answered.className;
    explained.package = answered.package;
    explained.answered = answered;
    explained.packageCodes = packageCodes_.strings();
    explained.leaderCodes = leaderCodes_.strings();
    for (const LinkEntry& link : links_) {
        if (link.className == answered.className)
            explained.links.push_back(link);
    }
    // Neither is handed to the plug-in: nothing to explain.
    if (answered.outcome == Outcome::Unnamed || answered.outcome == Outcome::NulInName) {
        explained.unnamed = true;
        return explained;
    }
    const kavri::KavriNaming naming(packageCodes_, leaderCodes_, encoding::isHostLeadByte);
    explained.steps = naming.explain(answered.package, answered.className);
    // The plug-in skips exactly the classes the rule skips, and hands every
    // other one the rule's table name.
    if (explained.steps.skipped())
        explained.agrees = answered.outcome == Outcome::Skipped;
    else
        explained.agrees = answered.outcome != Outcome::Skipped && answered.tableName == explained.steps.tableName;
    return explained;
}

std::string Explainer::disagreement(const ClassExplanation& explained)
{
    const ClassEntry& answered = explained.answered;
    const std::string who = qualified(explained.package, explained.className);
    const std::string plugin = answered.outcome == Outcome::Skipped
                                   ? "skipped it"
                                   : "named it \"" + answered.tableName + "\"";
    const std::string rule = explained.steps.skipped() ? "skips it" : "gives \"" + explained.steps.tableName + "\"";
    return "the loaded plug-in " + plugin + " for " + who + ", but the naming rule of this wired-host " + rule +
           ": the plug-in is of another version than wired-host, or faulty";
}

std::string explanationText(const ClassExplanation& explained)
{
    const kavri::KavriNaming::Explanation& steps = explained.steps;
    const std::string indent = "            ";
    // Named as the report names it: by the model's own names, also where
    // the plug-in got '?' for characters of them (the steps show those).
    const std::optional<OwnNames>& own = explained.answered.ownNames;
    std::string text = (own ? encoding::printable(qualified(own->package, own->name))
                            : printableOf(qualified(explained.package, explained.className))) +
                       "\n";
    if (explained.unnamed)
        return text + "  a class without a name: not handed to the plug-in\n";
    const std::string package = explained.package.empty() ? "(no package)" : shown(explained.package);
    if (!steps.packageTested) {
        text += "  package   " + package + ": no package codes, every class passes\n";
    } else {
        text += "  package   " + package + " against the package codes in order:\n";
        const std::size_t count = explained.packageCodes.size();
        const std::vector<std::size_t> listed = listedCodes(steps, count);
        for (std::size_t k = 0; k < listed.size(); ++k) {
            const std::size_t i = listed[k];
            text += indent + std::to_string(i + 1) + ". " + shown(explained.packageCodes[i]) + " " +
                    packageVerdict(steps, i) + "\n";
            // The codes not listed up to the next one that is (the match) or
            // to the end, in one line.
            const std::size_t next = k + 1 < listed.size() ? listed[k + 1] : count;
            if (next > i + 1)
                text += indent + "... codes " + std::to_string(i + 2) + " to " + std::to_string(next) + ": " +
                        packageVerdict(steps, i + 1) + "\n";
        }
    }
    if (steps.skipped()) {
        text += "  skipped   no package code matches the end of the path: no table\n";
    } else {
        if (explained.leaderCodes.empty())
            text += "  leader    no leader codes\n";
        else if (steps.leaderCode == kNone)
            text += "  leader    none of the " + std::to_string(explained.leaderCodes.size()) +
                    " leader codes starts the name\n";
        else
            text += "  leader    " + shown(explained.leaderCodes[steps.leaderCode]) + " (leader code " +
                    std::to_string(steps.leaderCode + 1) + " of " + std::to_string(explained.leaderCodes.size()) +
                    ") removed: " + shown(steps.withoutLeader) + "\n";
        if (steps.underscores.empty()) {
            text += "  seams     none: no upper-case letter after a lower-case one\n";
        } else {
            // A caret under each inserted underscore, past the opening quote.
            std::string carets(indent.size() + 1, ' ');
            for (const std::size_t column : underscoreColumns(explained, true)) {
                carets.resize(indent.size() + 1 + column, ' ');
                carets += '^';
            }
            text += "  seams     " + shown(steps.tableName) + "\n" + carets + " '_' inserted (" +
                    std::to_string(steps.underscores.size()) + ")\n";
        }
        text += "  table     " + shown(steps.tableName) + "\n";
    }
    if (explained.links.empty())
        text += "  link      none\n";
    for (const LinkEntry& link : explained.links)
        text += "  link      " + shown(link.className) + " -> " + shown(link.tableName) +
                ", registered at creation: " + link.outcome() + "\n";
    for (const std::string& finding : explained.findings)
        text += "  finding   " + utf8Of(finding) + "\n";
    text += "  plug-in   " + answerText(explained.answered) +
            (explained.agrees ? ": the same\n" : ": DIFFERENT from the rule above\n");
    return text;
}

std::string explanationJson(const ClassExplanation& explained)
{
    const kavri::KavriNaming::Explanation& steps = explained.steps;
    std::string out = "{\"packageTested\": ";
    out += steps.packageTested ? "true" : "false";
    out += ", \"packageCodeCount\": " + std::to_string(explained.packageCodes.size());
    out += ", \"packageCodes\": [";
    const std::vector<std::size_t> listed =
        steps.packageTested ? listedCodes(steps, explained.packageCodes.size()) : std::vector<std::size_t>();
    for (const std::size_t i : listed) {
        out += (i == listed.front() ? "" : ", ") + std::string("{\"index\": ") + std::to_string(i) +
               ", \"code\": " + json(explained.packageCodes[i]) + ", \"result\": \"" + packageVerdict(steps, i) +
               "\"}";
    }
    out += "], \"skipped\": ";
    out += steps.skipped() || explained.unnamed ? "true" : "false";
    out += ", \"leader\": ";
    if (steps.leaderCode == kNone)
        out += "null";
    else
        out += "{\"index\": " + std::to_string(steps.leaderCode) + ", \"code\": " +
               json(explained.leaderCodes[steps.leaderCode]) + "}";
    const bool derived = !steps.skipped() && !explained.unnamed;
    out += ", \"withoutLeader\": " + (derived ? json(steps.withoutLeader) : "null");
    out += ", \"underscores\": [";
    const std::vector<std::size_t> columns = underscoreColumns(explained, false);
    for (std::size_t i = 0; i < columns.size(); ++i)
        out += (i ? ", " : "") + std::to_string(columns[i]);
    out += "], \"table\": " + (derived ? json(steps.tableName) : "null");
    out += ", \"links\": [";
    for (std::size_t i = 0; i < explained.links.size(); ++i)
        out += (i ? ", " : "") + std::string("{\"class\": ") + json(explained.links[i].className) +
               ", \"table\": " + json(explained.links[i].tableName) + ", \"outcome\": \"" +
               explained.links[i].outcome() + "\"}";
    out += "], \"agrees\": ";
    out += explained.agrees ? "true" : "false";
    out += "}";
    return out;
}

} // namespace wiredhost
