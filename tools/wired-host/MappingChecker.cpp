#include "MappingChecker.h"

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <tuple>

#include "model/Encoding.h"
#include "model/FirstEqual.h"
#include "model/Text.h"
#include "model/NameHash.h"

namespace wiredhost {

namespace {

using encoding::printable;

// A name as a message gives it: escaped, and cut to its two ends when it
// is kilobytes long. The row of the finding holds the name whole; a
// message that repeated it for every target would make a model of one
// long name many times its size.
std::string inMessage(std::string_view name)
{
    return printable(shortened(name));
}

// A table name with whom it belongs to: a class given that name, or a link.
struct Owner {
    bool link;
    std::size_t index;
};

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The blocks of characters beyond ASCII that hold punctuation, symbols,
// spaces and the like rather than letters: the Latin-1 signs (no-break
// space, section and degree signs, U+00D7 multiplication sign...), general
// punctuation (dashes, quotation marks, the ellipsis), currency signs (the
// euro sign), arrows, mathematical and other symbols, CJK and full-width
// punctuation (the ideographic comma, space and parentheses), private use
// and emoji. The databases take letters of any script unquoted, but not
// these.
struct CodeRange {
    char32_t first, last;
};
const CodeRange kNotLetters[] = {
    // Latin-1 signs.
    {0x80, 0xA9}, {0xAB, 0xB4}, {0xB6, 0xB9}, {0xBB, 0xBF}, {0xD7, 0xD7}, {0xF7, 0xF7},
    // The punctuation of other scripts: Greek, Armenian, Hebrew, Arabic,
    // Devanagari, Thai, Tibetan, Ethiopic, Canadian syllabics, Ogham, Runic,
    // Khmer and Mongolian.
    {0x37E, 0x37E}, {0x387, 0x387}, {0x55A, 0x55F}, {0x589, 0x58A}, {0x5BE, 0x5BE}, {0x5C0, 0x5C0},
    {0x5C3, 0x5C3}, {0x5C6, 0x5C6}, {0x5F3, 0x5F4}, {0x600, 0x60F}, {0x61B, 0x61F}, {0x66A, 0x66D},
    {0x6D4, 0x6D4}, {0x6DD, 0x6DE}, {0x6E9, 0x6E9}, {0x964, 0x965}, {0x970, 0x970}, {0xE3F, 0xE3F},
    {0xE4F, 0xE4F}, {0xE5A, 0xE5B}, {0xF04, 0xF12}, {0x1360, 0x1368}, {0x166D, 0x166E}, {0x1680, 0x1680},
    {0x169B, 0x169C}, {0x16EB, 0x16ED}, {0x17D4, 0x17D6}, {0x17D8, 0x17DB}, {0x1800, 0x180A}, {0x180E, 0x180E},
    // General punctuation, currency signs, the symbols among the letterlike
    // ones, fractions, arrows to miscellaneous symbols, supplemental
    // punctuation.
    {0x2000, 0x206F}, {0x20A0, 0x20CF}, {0x2100, 0x2101}, {0x2103, 0x2106}, {0x2108, 0x2109}, {0x2114, 0x2114},
    {0x2116, 0x2118}, {0x211E, 0x2123}, {0x2125, 0x2125}, {0x2127, 0x2127}, {0x2129, 0x2129}, {0x212E, 0x212E},
    {0x213A, 0x213B}, {0x2140, 0x2144}, {0x214A, 0x214D}, {0x214F, 0x214F}, {0x2150, 0x215F}, {0x2189, 0x218B},
    {0x2190, 0x2BFF}, {0x2E00, 0x2E2E}, {0x2E30, 0x2E7F},
    // CJK and full-width punctuation, private use, emoji.
    {0x3000, 0x3004}, {0x3008, 0x3020}, {0x3030, 0x3030}, {0x3036, 0x3037}, {0x303D, 0x303F}, {0x30FB, 0x30FB},
    {0xE000, 0xF8FF}, {0xFE10, 0xFE1F}, {0xFE30, 0xFE6F}, {0xFEFF, 0xFEFF}, {0xFF01, 0xFF0F}, {0xFF1A, 0xFF20},
    {0xFF3B, 0xFF40}, {0xFF5B, 0xFF65}, {0xFFE0, 0xFFFF}, {0x1F000, 0x1FBFF}, {0xE0000, 0xE007F},
    {0xF0000, 0x10FFFF},
};

// The decimal digits of other scripts (Arabic-Indic, Devanagari, Thai,
// full-width...): a name may hold them, but one that starts with a digit of
// any script works only quoted.
const CodeRange kOtherDigits[] = {
    {0x660, 0x669},   {0x6F0, 0x6F9},   {0x7C0, 0x7C9},   {0x966, 0x96F},   {0x9E6, 0x9EF},
    {0xA66, 0xA6F},   {0xAE6, 0xAEF},   {0xB66, 0xB6F},   {0xBE6, 0xBEF},   {0xC66, 0xC6F},
    {0xCE6, 0xCEF},   {0xD66, 0xD6F},   {0xDE6, 0xDEF},   {0xE50, 0xE59},   {0xED0, 0xED9},
    {0xF20, 0xF29},   {0x1040, 0x1049}, {0x1090, 0x1099}, {0x17E0, 0x17E9}, {0x1810, 0x1819},
    {0xFF10, 0xFF19}, {0x1D7CE, 0x1D7FF},
};

bool isDigitOfAnyScript(char32_t c)
{
    if (c < 0x80)
        return isDigit(static_cast<char>(c));
    return std::any_of(std::begin(kOtherDigits), std::end(kOtherDigits),
                       [c](const CodeRange& range) { return c >= range.first && c <= range.last; });
}

// Letters (of any script), digits and '_'.
bool isNameCharacter(char32_t c)
{
    if (c < 0x80)
        return (upper(static_cast<char>(c)) >= 'A' && upper(static_cast<char>(c)) <= 'Z') ||
               isDigit(static_cast<char>(c)) || c == '_';
    return std::none_of(std::begin(kNotLetters), std::end(kNotLetters),
                        [c](const CodeRange& range) { return c >= range.first && c <= range.last; });
}

// Upper-case letters beyond ASCII and the distance to their lower-case
// twins: Latin (with the letters of Vietnamese and pinyin), Greek,
// Cyrillic, Armenian and the full-width Latin of CJK text. Where a block
// alternates upper and lower case, every other code point from first is
// upper case. Final sigma becomes sigma, as comparing without case makes
// them one.
struct CaseRange {
    char32_t first, last;
    int32_t toLower;
    bool alternating;
};
const CaseRange kUpperCase[] = {
    {0xC0, 0xD6, 32, false},     {0xD8, 0xDE, 32, false},     {0x100, 0x12E, 1, true},     {0x132, 0x136, 1, true},
    {0x139, 0x147, 1, true},     {0x14A, 0x176, 1, true},     {0x178, 0x178, -121, false}, {0x179, 0x17D, 1, true},
    {0x1CD, 0x1DB, 1, true},     {0x1DE, 0x1EE, 1, true},     {0x1F8, 0x21E, 1, true},     {0x222, 0x232, 1, true},
    {0x386, 0x386, 38, false},   {0x388, 0x38A, 37, false},   {0x38C, 0x38C, 64, false},   {0x38E, 0x38F, 63, false},
    {0x391, 0x3A1, 32, false},   {0x3A3, 0x3AB, 32, false},   {0x3C2, 0x3C2, 1, false},    {0x400, 0x40F, 80, false},
    {0x410, 0x42F, 32, false},   {0x460, 0x480, 1, true},     {0x48A, 0x4BE, 1, true},     {0x4C1, 0x4CD, 1, true},
    {0x4D0, 0x52E, 1, true},     {0x531, 0x556, 48, false},   {0x1E00, 0x1E94, 1, true},   {0x1E9E, 0x1E9E, -7615, false},
    {0x1EA0, 0x1EFE, 1, true},   {0xFF21, 0xFF3A, 32, false},
};

char32_t lowerLetter(char32_t c)
{
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + 32 : c;
    for (const CaseRange& range : kUpperCase) {
        if (c >= range.first && c <= range.last && (!range.alternating || (c - range.first) % 2 == 0))
            return static_cast<char32_t>(static_cast<int32_t>(c) + range.toLower);
    }
    return c;
}

// A lower-case letter: the lower-case twin of an upper-case one, or the
// sharp s, which has none in most of the databases.
bool isLowerLetter(char32_t c)
{
    if (c < 0x80)
        return c >= 'a' && c <= 'z';
    if (c == 0xDF)
        return true;
    return std::any_of(std::begin(kUpperCase), std::end(kUpperCase), [c](const CaseRange& range) {
        const char32_t upper = static_cast<char32_t>(static_cast<int32_t>(c) - range.toLower);
        return upper >= range.first && upper <= range.last && upper != c &&
               (!range.alternating || (upper - range.first) % 2 == 0);
    });
}

// A name as the databases that fold every alphabet compare it: each letter
// in lower case. Bytes that start no well-formed character stay as they are.
std::string lettersLowered(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0, length = 0; at < utf8.size(); at += length) {
        const char32_t c = encoding::characterAt(utf8, at, length);
        if (c == 0xFFFD && length == 1 && static_cast<unsigned char>(utf8[at]) >= 0x80)
            out += utf8[at];
        else
            encoding::appendUtf8(out, lowerLetter(c));
    }
    return out;
}

// Keys compared as the databases compare unquoted names: ASCII letters
// without regard to case. Views into the run's records, so that grouping a
// big model copies no names.
struct FoldedHash {
    std::size_t operator()(std::string_view key) const { return foldedNameHash(key); }
};

struct FoldedEqual {
    bool operator()(std::string_view a, std::string_view b) const { return equalsIgnoringCase(a, b); }
};

// The numbers of the keys equal without regard to ASCII case, a list for
// each key that more than one has, in the order the keys first came.
std::vector<std::vector<std::size_t>> sharedKeys(const std::vector<std::string_view>& keys)
{
    const std::size_t none = static_cast<std::size_t>(-1);
    const std::vector<std::size_t> firstOf =
        firstEqual(keys.size(), [&keys](std::size_t i) { return FoldedHash()(keys[i]); },
                   [&keys](std::size_t a, std::size_t b) { return FoldedEqual()(keys[a], keys[b]); });
    std::vector<std::size_t> count(keys.size(), 0);
    for (const std::size_t first : firstOf)
        ++count[first];
    std::vector<std::vector<std::size_t>> groups;
    std::vector<std::size_t> groupOf(keys.size(), none);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::size_t first = firstOf[i];
        if (count[first] < 2)
            continue;
        if (groupOf[first] == none) {
            groupOf[first] = groups.size();
            groups.emplace_back();
            groups.back().reserve(count[first]);
        }
        groups[groupOf[first]].push_back(i);
    }
    return groups;
}

// The first few of count others, as "A, B and C" or "A, B, ..., J and 7
// more": every other member of a group of up to eleven is named, and a
// message stays short however big the group.
const std::size_t kNamedOthers = 10;
// How far to look for them past subjects that are the same class: the
// scan stays short even when one class has thousands of links.
const std::size_t kScanned = 64;
const std::size_t kNone = static_cast<std::size_t>(-1);

std::string listed(const std::vector<std::string>& shown, std::size_t count)
{
    std::string list;
    for (std::size_t k = 0; k < shown.size(); ++k)
        list += (k == 0 ? "" : k + 1 == shown.size() && count == shown.size() ? " and " : ", ") + shown[k];
    if (count > shown.size())
        list += " and " + std::to_string(count - shown.size()) + " more";
    return list;
}

// Why a name cannot be used unquoted, or empty when it can.
std::string quotingProblem(const std::string& name)
{
    if (name.empty())
        return "the table name is empty: no database takes it, quoted or not";
    std::size_t firstLength = 0;
    if (isDigitOfAnyScript(encoding::characterAt(name, 0, firstLength)))
        return inMessage(name) + " starts with a digit: it works only quoted";
    for (std::size_t at = 0, length = 0; at < name.size(); at += length) {
        if (!isNameCharacter(encoding::characterAt(name, at, length)))
            return inMessage(name) + " holds '" + printable(name.substr(at, length)) +
                   "', which is not a letter, a digit or '_': it works only quoted";
    }
    return "";
}

// The names here are UTF-8, whose characters hold no bytes that could be
// taken for the start of a code at the front of a name.
bool noLeadBytes(char)
{
    return false;
}

} // namespace

struct MappingChecker::Subject {
    Owner owner;
    const std::string* table;
    const std::string* className;
    const std::string* package; // null for a link

    // "class OrderItem in com.shop", "the link Customer -> ORDER_ITEM"
    std::string described() const
    {
        // Names another's finding: a name of kilobytes is cut, as it may
        // be named in the findings of many others on every target.
        if (package == nullptr)
            return "the link " + inMessage(*className) + " -> " + inMessage(*table);
        return "class " + inMessage(*className) +
               (package->empty() ? "" : " in " + inMessage(*package));
    }

    // The same class: a class and a link that names it, as a link's table
    // goes to that class; two classes are two tables even when their names
    // are equal.
    bool sameClassAs(const Subject& other) const
    {
        return (package == nullptr || other.package == nullptr) && *className == *other.className;
    }
};

MappingChecker::MappingChecker(std::vector<const DatabaseTarget*> targets, std::vector<std::string> leaderCodes)
    : targets_(std::move(targets)), leaders_(leaderCodes), naming_(noPackages_, leaders_, noLeadBytes)
{
    if (targets_.size() > sizeof(unsigned long) * 8)
        throw std::logic_error("too many targets for a word's bit set");
    for (std::size_t t = 0; t < targets_.size(); ++t) {
        const WordList& list = targets_[t]->words();
        for (std::size_t w = 0; w < list.size; ++w) {
            const std::string word = list.words[w];
            reservedIn_[word] |= 1ul << t;
            longestWord_ = std::max(longestWord_, word.size());
        }
    }
}

std::vector<MappingFinding> MappingChecker::check(const std::vector<ClassEntry>& classes,
                                                  const std::vector<LinkEntry>& links) const
{
    Subjects subjects;
    subjects.reserve(classes.size() + links.size());
    for (std::size_t i = 0; i < classes.size(); ++i) {
        const ClassEntry& c = classes[i];
        if (c.outcome == Outcome::Set || c.outcome == Outcome::TableNotFound)
            subjects.push_back({{false, i}, &c.tableName, &c.className, &c.package});
    }
    for (std::size_t i = 0; i < links.size(); ++i)
        subjects.push_back({{true, i}, &links[i].tableName, &links[i].className, nullptr});

    std::vector<MappingFinding> out;
    if (!targets_.empty()) {
        checkNames(subjects, out);
        findCollisions(subjects, out);
    }
    findLinkClashes(subjects, out);
    findLeaderSplits(classes, out);

    // By subject, then kind, then the targets' order in the table. A subject
    // has at most one finding of a kind on a target, so the order is total
    // and a sort in place (no buffer the size of the findings) is stable.
    const auto rank = [](const MappingFinding& f) {
        const std::size_t target = f.target ? static_cast<std::size_t>(f.target - DatabaseTarget::all().data()) : 0;
        return std::make_tuple(f.onLink, f.index, static_cast<int>(f.kind), target);
    };
    std::sort(out.begin(), out.end(),
                     [&rank](const MappingFinding& a, const MappingFinding& b) { return rank(a) < rank(b); });
    return out;
}

void MappingChecker::checkNames(const Subjects& subjects, std::vector<MappingFinding>& out) const
{
    std::string upperName;
    for (const Subject& s : subjects) {
        const std::string& name = *s.table;
        // What holds on every target is worked out once per name.
        unsigned long reserved = 0;
        if (name.size() <= longestWord_) {
            upperName.assign(name);
            for (char& c : upperName)
                c = upper(c);
            const auto found = reservedIn_.find(upperName);
            if (found != reservedIn_.end())
                reserved = found->second;
        }
        const std::string quoting = quotingProblem(name);
        const std::size_t bytes = name.size();
        const std::size_t characters = encoding::characterCount(name);
        // The words that hold on every target are made once for the name.
        std::shared_ptr<const FindingWords> reservedWords, quotingWords;
        if (reserved != 0)
            reservedWords = std::make_shared<FindingWords>(FindingWords{FindingWords::Reserved, printable(upperName), {}});
        if (!quoting.empty())
            quotingWords = std::make_shared<FindingWords>(FindingWords{FindingWords::Quoting, quoting, {}});

        for (std::size_t t = 0; t < targets_.size(); ++t) {
            const DatabaseTarget& target = *targets_[t];
            const auto add = [&](FindingKind kind, std::shared_ptr<const FindingWords> words) {
                out.push_back({kind, &target, s.owner.link, s.owner.index, std::move(words)});
            };
            if (reserved & (1ul << t))
                add(FindingKind::ReservedWord, reservedWords);
            const std::size_t length = target.unit == LengthUnit::Bytes ? bytes : characters;
            if (target.maxLength != 0 && length > target.maxLength) {
                const auto amount = [&target](std::size_t n) {
                    const std::string unit = DatabaseTarget::unitText(target.unit);
                    return std::to_string(n) + " " + (n == 1 ? unit.substr(0, unit.size() - 1) : unit);
                };
                std::string message = inMessage(name) + " is " + amount(length) + " long, " +
                                      amount(length - target.maxLength) + " over the " + amount(target.maxLength) +
                                      " " + target.title + " takes";
                message += target.truncates ? ": it cuts the name to " + printable(target.keptName(name)) +
                                                  " without an error"
                                            : ": creating the table fails";
                add(FindingKind::TooLong, std::make_shared<FindingWords>(FindingWords{FindingWords::Whole, message, {}}));
            }
            if (quotingWords)
                add(FindingKind::NeedsQuoting, quotingWords);
        }
    }
}

void MappingChecker::findCollisions(const Subjects& subjects, std::vector<MappingFinding>& out) const
{
    // Targets that cut names at the same length and fold the same letters
    // group names alike: the grouping is made once for each such rule (a
    // length of 0: not cut).
    std::map<std::pair<std::size_t, bool>, std::vector<const DatabaseTarget*>> byRule;
    for (const DatabaseTarget* target : targets_)
        byRule[{target->truncates ? target->maxLength : 0, target->asciiCaseOnly}].push_back(target);

    // Where the names are plain ASCII, rules that differ only in which
    // letters they fold group them alike: the last grouping is kept for
    // the next rule whose keys are the same views.
    std::vector<std::string_view> lastKeys;
    std::vector<std::vector<std::size_t>> groups;
    for (const auto& [rule, targets] : byRule) {
        const bool everyAlphabet = !rule.second;
        // The keys of names beyond ASCII, lowered where every alphabet is
        // folded; a deque, as the views into it must stay put.
        std::deque<std::string> lowered;
        std::vector<std::string_view> keys;
        keys.reserve(subjects.size());
        for (const Subject& s : subjects) {
            const std::string_view kept = std::string_view(*s.table).substr(0, targets.front()->keptLength(*s.table));
            if (everyAlphabet && !encoding::isAscii(kept)) {
                lowered.push_back(lettersLowered(kept));
                keys.push_back(lowered.back());
            } else {
                keys.push_back(kept);
            }
        }
        const auto sameFolded = [everyAlphabet](const std::string& a, const std::string& b) {
            if (!everyAlphabet || (encoding::isAscii(a) && encoding::isAscii(b)))
                return FoldedEqual()(a, b);
            return lettersLowered(a) == lettersLowered(b);
        };
        const auto sameView = [](std::string_view a, std::string_view b) {
            return a.data() == b.data() && a.size() == b.size();
        };
        const bool reused = lowered.empty() && !lastKeys.empty() &&
                            std::equal(keys.begin(), keys.end(), lastKeys.begin(), lastKeys.end(), sameView);
        if (!reused)
            groups = sharedKeys(keys);
        lastKeys = lowered.empty() ? std::move(keys) : std::vector<std::string_view>();
        for (const std::vector<std::size_t>& group : groups) {
            // A link's table goes to the class it names: those are one
            // table, not two. Counted by class name, so that a big group
            // costs no more than its size.
            std::unordered_map<std::string_view, std::pair<std::size_t, std::size_t>, NameHash> classesAndLinks;
            for (const std::size_t i : group) {
                auto& counts = classesAndLinks[*subjects[i].className];
                ++(subjects[i].owner.link ? counts.second : counts.first);
            }
            // How far the names had to be brought together, among those
            // that count as others: not a link to a class of the group.
            const auto counted = [&](std::size_t i) {
                return !subjects[i].owner.link || classesAndLinks[*subjects[i].className].first == 0;
            };
            const std::string* first = nullptr;
            bool written = true, folded = true;
            for (const std::size_t i : group) {
                if (!counted(i))
                    continue;
                if (first == nullptr)
                    first = subjects[i].table;
                written = written && *subjects[i].table == *first;
                folded = folded && sameFolded(*subjects[i].table, *first);
            }
            // For a subject whose scan below met only its own class: the
            // first members of two class names and the first two classes,
            // one of which is always another when there is one.
            std::size_t fallbacks[4] = {group.front(), kNone, kNone, kNone};
            for (const std::size_t i : group) {
                if (fallbacks[1] == kNone && *subjects[i].className != *subjects[group.front()].className)
                    fallbacks[1] = i;
                if (!subjects[i].owner.link && fallbacks[3] == kNone)
                    fallbacks[fallbacks[2] == kNone ? 2 : 3] = i;
            }
            const FindingWords::Shape shape = written ? FindingWords::SameWritten
                                              : folded ? FindingWords::SameFolded : FindingWords::SameCut;
            // Past the first few, the members of a big group name the same
            // others: their words are made once and shared.
            std::vector<std::size_t> shown, lastShown;
            std::size_t lastCount = 0;
            std::string text;
            std::shared_ptr<FindingWords> words;
            for (const std::size_t i : group) {
                const Subject& s = subjects[i];
                const auto& counts = classesAndLinks[*s.className];
                const std::size_t same = s.owner.link ? counts.first + counts.second - 1 : counts.second;
                const std::size_t count = group.size() - 1 - same;
                if (count == 0)
                    continue;
                shown.clear();
                const auto name = [&](std::size_t j) {
                    if (j != kNone && j != i && !s.sameClassAs(subjects[j]))
                        shown.push_back(j);
                };
                for (std::size_t k = 0; k < group.size() && k < kScanned && shown.size() < kNamedOthers; ++k)
                    name(group[k]);
                for (std::size_t k = 0; k < 4 && shown.empty(); ++k)
                    name(fallbacks[k]);
                const bool sameOthers = words && shown == lastShown && count == lastCount;
                if (!sameOthers) {
                    std::vector<std::string> others;
                    for (const std::size_t j : shown)
                        others.push_back(inMessage(*subjects[j].table) + " (" + subjects[j].described() + ")");
                    text = listed(others, count);
                    lastShown.swap(shown);
                    lastCount = count;
                }
                // A cut name kept is each one's own: it may differ in case.
                if (!sameOthers || shape == FindingWords::SameCut)
                    words = std::make_shared<FindingWords>(FindingWords{
                        shape, text, shape == FindingWords::SameCut ? printable(targets.front()->keptName(*s.table))
                                                                    : std::string()});
                // The others are the same on every target of the rule.
                for (const DatabaseTarget* target : targets)
                    out.push_back({FindingKind::Collision, target, s.owner.link, s.owner.index, words});
            }
        }
    }
}

void MappingChecker::findLinkClashes(const Subjects& subjects, std::vector<MappingFinding>& out) const
{
    // The classes and the links of each table name, and how many of each
    // per class name: a link and the class it names are one table.
    struct Side {
        std::vector<const Subject*> subjects;
        std::unordered_map<std::string_view, std::size_t, NameHash> perClass;
        // The first members of two class names: one of them is another
        // class for a subject whose scan met only its own.
        const Subject* fallbacks[2] = {nullptr, nullptr};
    };
    // A config has few links and a model many classes: only the classes
    // whose table some link also names are gathered.
    std::unordered_map<std::string_view, Side, NameHash> classesByTable, linksByTable;
    const auto add = [](Side& side, const Subject& s) {
        side.subjects.push_back(&s);
        ++side.perClass[*s.className];
        if (side.fallbacks[0] == nullptr)
            side.fallbacks[0] = &s;
        else if (side.fallbacks[1] == nullptr && *s.className != *side.fallbacks[0]->className)
            side.fallbacks[1] = &s;
    };
    for (const Subject& s : subjects) {
        if (s.owner.link)
            add(linksByTable[*s.table], s);
    }
    if (linksByTable.empty())
        return;
    for (const Subject& s : subjects) {
        if (!s.owner.link && linksByTable.count(*s.table) != 0)
            add(classesByTable[*s.table], s);
    }
    // Each subject gets one finding naming the first few of the other side,
    // so that many links to one table cost no more than their number.
    for (const Subject& s : subjects) {
        const auto& others = s.owner.link ? classesByTable : linksByTable;
        const auto found = others.find(*s.table);
        if (found == others.end())
            continue;
        const Side& side = found->second;
        const auto same = side.perClass.find(*s.className);
        const std::size_t count = side.subjects.size() - (same == side.perClass.end() ? 0 : same->second);
        if (count == 0)
            continue;
        std::vector<std::string> shown;
        for (std::size_t k = 0; k < side.subjects.size() && k < kScanned && shown.size() < kNamedOthers; ++k) {
            if (!s.sameClassAs(*side.subjects[k]))
                shown.push_back(side.subjects[k]->described());
        }
        for (const Subject* other : side.fallbacks) {
            if (shown.empty() && other != nullptr && !s.sameClassAs(*other))
                shown.push_back(other->described());
        }
        std::string message = s.owner.link ? "its table " + inMessage(*s.table) + " is the table " +
                                                       listed(shown, count) + " gets from its own name"
                                                 : "its table " + inMessage(*s.table) + " is also the table of " +
                                                       listed(shown, count);
        out.push_back({FindingKind::LinkClash, nullptr, s.owner.link, s.owner.index,
                       std::make_shared<FindingWords>(FindingWords{FindingWords::Whole, std::move(message), {}})});
    }
}

void MappingChecker::findLeaderSplits(const std::vector<ClassEntry>& classes, std::vector<MappingFinding>& out) const
{
    if (leaders_.empty())
        return;
    for (std::size_t i = 0; i < classes.size(); ++i) {
        const ClassEntry& c = classes[i];
        if (c.outcome != Outcome::Set && c.outcome != Outcome::TableNotFound)
            continue;
        const std::size_t match = naming_.leaderMatch(c.className);
        if (match == kavri::KavriNaming::kNone || leaders_[match].size() >= c.className.size())
            continue;
        const std::string_view leader = leaders_[match];
        std::size_t length = 0;
        if (!isLowerLetter(encoding::characterAt(c.className, leader.size(), length)))
            continue;
        // A leader that ends in something other than a letter (t_, TBL1)
        // ends where a word could not go on: a prefix, as meant.
        const unsigned char last = static_cast<unsigned char>(leader.back());
        if (last < 0x80 && ((last | 0x20) < 'a' || (last | 0x20) > 'z'))
            continue;
        const std::string rest = c.className.substr(leader.size());
        std::string message = "the leader code " + inMessage(leader) + " was removed from " +
                              inMessage(c.className) + ", leaving " + inMessage(rest) + ": " + inMessage(leader) +
                              " is probably the start of a word, not a prefix";
        out.push_back({FindingKind::LeaderSplitsWord, nullptr, false, i,
                       std::make_shared<FindingWords>(FindingWords{FindingWords::Whole, std::move(message), {}})});
    }
}

} // namespace wiredhost
