#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "MappingChecker.h"

namespace wiredhost {
namespace {

ClassEntry entry(const std::string& className, const std::string& table, Outcome outcome = Outcome::Set)
{
    ClassEntry c;
    c.className = className;
    c.package = "shop";
    c.tableName = table;
    c.outcome = outcome;
    return c;
}

std::vector<const DatabaseTarget*> targets(const std::string& list)
{
    std::vector<const DatabaseTarget*> chosen;
    std::string error;
    EXPECT_TRUE(DatabaseTarget::parseList(list, chosen, error)) << error;
    return chosen;
}

// "kind:target" of each finding of one subject, sorted, space-separated;
// only those of one kind when it is given.
std::string kindsOf(const std::vector<MappingFinding>& findings, std::size_t index, bool onLink = false,
                    const std::string& only = "")
{
    std::set<std::string> kinds;
    for (const MappingFinding& f : findings) {
        if (f.index == index && f.onLink == onLink && (only.empty() || only == MappingFinding::kindName(f.kind)))
            kinds.insert(std::string(MappingFinding::kindName(f.kind)) + (f.target ? ":" + std::string(f.target->name) : ""));
    }
    std::string text;
    for (const std::string& kind : kinds)
        text += (text.empty() ? "" : " ") + kind;
    return text;
}

std::string messageOf(const std::vector<MappingFinding>& findings, FindingKind kind, const std::string& target,
                      std::size_t index = 0)
{
    for (const MappingFinding& f : findings) {
        if (f.kind == kind && f.index == index && !f.onLink && (f.target ? f.target->name : "") == target)
            return f.message();
    }
    return "(none)";
}

const std::string kA64 = std::string(64, 'a');
const std::string kAe64 = [] {
    std::string s;
    for (int i = 0; i < 64; ++i)
        s += "\xC3\xA4";
    return s;
}();

const char kQuotedEverywhere[] =
    "needs-quoting:db2 needs-quoting:mariadb needs-quoting:mysql needs-quoting:oracle needs-quoting:oracle11 "
    "needs-quoting:postgresql needs-quoting:sql2016 needs-quoting:sqlite needs-quoting:sqlserver";

TEST(MappingCheckerTest, EachNameOnEachTarget)
{
    struct Case {
        std::string table;
        const char* expected;
    };
    const Case cases[] = {
        {"Order_Item", ""},
        {"Order",
         "reserved-word:db2 reserved-word:mariadb reserved-word:mysql reserved-word:oracle reserved-word:oracle11 "
         "reserved-word:postgresql reserved-word:sql2016 reserved-word:sqlite reserved-word:sqlserver"},
        // Not reserved by MySQL, MariaDB and SQLite.
        {"user",
         "reserved-word:db2 reserved-word:oracle reserved-word:oracle11 reserved-word:postgresql "
         "reserved-word:sql2016 reserved-word:sqlserver"},
        {std::string(30, 'a'), ""},
        {std::string(31, 'a'), "too-long:oracle11"},
        {std::string(63, 'a'), "too-long:oracle11"},
        {kA64, "too-long:oracle11 too-long:postgresql"},
        {kA64 + "a", "too-long:mariadb too-long:mysql too-long:oracle11 too-long:postgresql"},
        {std::string(128, 'a'),
         "too-long:mariadb too-long:mysql too-long:oracle11 too-long:postgresql"},
        {std::string(129, 'a'),
         "too-long:db2 too-long:mariadb too-long:mysql too-long:oracle too-long:oracle11 too-long:postgresql "
         "too-long:sqlserver"},
        // 64 characters in 128 bytes: bytes and characters part ways.
        {kAe64, "too-long:oracle11 too-long:postgresql"},
        {kAe64 + "\xC3\xA4",
         "too-long:db2 too-long:mariadb too-long:mysql too-long:oracle too-long:oracle11 too-long:postgresql"},
        {"2Fast",
         "needs-quoting:db2 needs-quoting:mariadb needs-quoting:mysql needs-quoting:oracle needs-quoting:oracle11 "
         "needs-quoting:postgresql needs-quoting:sql2016 needs-quoting:sqlite needs-quoting:sqlserver"},
        {"Order-Item",
         "needs-quoting:db2 needs-quoting:mariadb needs-quoting:mysql needs-quoting:oracle needs-quoting:oracle11 "
         "needs-quoting:postgresql needs-quoting:sql2016 needs-quoting:sqlite needs-quoting:sqlserver"},
        {"",
         "needs-quoting:db2 needs-quoting:mariadb needs-quoting:mysql needs-quoting:oracle needs-quoting:oracle11 "
         "needs-quoting:postgresql needs-quoting:sql2016 needs-quoting:sqlite needs-quoting:sqlserver"},
        // Letters of any script are letters.
        {"Gr\xC3\xB6\xC3\x9F" "e_Tabelle", ""},
        {"\xE8\xAE\xA2\xE5\x8D\x95", ""},                 // Chinese
        {"\xD0\x97\xD0\xB0\xD0\xBA\xD0\xB0\xD0\xB7", ""}, // Cyrillic
        {"_Order9", ""},
        // Digits of other scripts go inside a name, but not first: full-width
        // 9, Arabic-Indic 3.
        {"Order\xEF\xBC\x99\xD9\xA3", ""},
        {"\xEF\xBC\x99Nine", kQuotedEverywhere},
        {"\xD9\xA3x", kQuotedEverywhere},
        // Signs, punctuation and spaces beyond ASCII are not: the euro
        // sign, an en dash, a no-break space, full-width parentheses, the
        // ideographic space, an emoji.
        {"Preis\xE2\x82\xAC", kQuotedEverywhere},
        {"Order\xE2\x80\x93Item", kQuotedEverywhere},
        {"Order\xC2\xA0Item", kQuotedEverywhere},
        {"\xE8\xAE\xA2\xE5\x8D\x95\xEF\xBC\x88\xE6\x97\xA7\xEF\xBC\x89", kQuotedEverywhere},
        {"\xE8\xAE\xA2\xE3\x80\x80\xE5\x8D\x95", kQuotedEverywhere},
        {"Cart\xF0\x9F\x9B\x92", kQuotedEverywhere},
        // And those of other scripts: the Arabic comma, the Devanagari
        // danda, the Hebrew maqaf, the Greek question mark, the Ogham space;
        // the degree Celsius sign among the letterlike symbols, whose
        // double-struck C is a letter.
        {"Bestellung\xD8\x8C" "Alt", kQuotedEverywhere},
        {"Kaufen\xE0\xA5\xA4", kQuotedEverywhere},
        {"Seder\xD6\xBE" "Alt", kQuotedEverywhere},
        {"Frage\xCD\xBE", kQuotedEverywhere},
        {"Ogham\xE1\x9A\x80Space", kQuotedEverywhere},
        {"Temp\xE2\x84\x83", kQuotedEverywhere},
        {"Menge\xE2\x84\x82", ""},
    };
    const MappingChecker checker(targets("all"), {});
    for (const Case& c : cases) {
        const auto findings = checker.check({entry("X", c.table)}, {});
        EXPECT_EQ(kindsOf(findings, 0), c.expected) << c.table;
    }
}

TEST(MappingCheckerTest, MessagesSayHowMuchTooLongAndWhatIsCut)
{
    const MappingChecker checker(targets("oracle11,postgresql,mysql"), {});
    const auto findings = checker.check({entry("X", kA64 + "a")}, {});
    EXPECT_EQ(messageOf(findings, FindingKind::TooLong, "oracle11"),
              kA64 + "a is 65 bytes long, 35 bytes over the 30 bytes Oracle before 12.2 takes: creating the table fails");
    EXPECT_EQ(messageOf(findings, FindingKind::TooLong, "postgresql"),
              kA64 + "a is 65 bytes long, 2 bytes over the 63 bytes PostgreSQL takes: it cuts the name to " +
                  std::string(63, 'a') + " without an error");
    EXPECT_EQ(messageOf(findings, FindingKind::TooLong, "mysql"),
              kA64 + "a is 65 characters long, 1 character over the 64 characters MySQL takes: creating the table "
                     "fails");
    const auto reserved = checker.check({entry("X", "oRdEr")}, {});
    EXPECT_EQ(messageOf(reserved, FindingKind::ReservedWord, "postgresql"),
              "ORDER is a reserved word on PostgreSQL: the table works only quoted");
    // Control bytes never reach a message as they are.
    const auto control = checker.check({entry("X", "A\x01" "B")}, {});
    EXPECT_EQ(messageOf(control, FindingKind::NeedsQuoting, "mysql"),
              "A\\x01B holds '\\x01', which is not a letter, a digit or '_': it works only quoted on MySQL");
    // The character is named whole, however many bytes it takes.
    const auto euro = checker.check({entry("X", "Preis\xE2\x82\xAC")}, {});
    EXPECT_EQ(messageOf(euro, FindingKind::NeedsQuoting, "mysql"),
              "Preis\xE2\x82\xAC holds '\xE2\x82\xAC', which is not a letter, a digit or '_': it works only quoted on "
              "MySQL");
}

TEST(MappingCheckerTest, AHugeNameIsNamedByItsEndsInEveryMessage)
{
    // A model of one name of megabytes: were the name repeated whole in
    // the message of each target, the findings would be many times the
    // model (a 50 MB name ran 32-bit Windows out of memory).
    const std::string huge = "Tq" + std::string(1 << 20, 'x') + "-" + std::string(1 << 20, 'y');
    const MappingChecker checker(targets("all"), {"T"});
    const auto findings = checker.check({entry(huge, huge.substr(1))}, {{"Linker", huge.substr(1)}});
    std::set<std::string> kinds;
    for (const MappingFinding& f : findings) {
        kinds.insert(MappingFinding::kindName(f.kind));
        EXPECT_LT(f.message().size(), 2000u) << MappingFinding::kindName(f.kind);
        EXPECT_NE(f.message().find("..."), std::string::npos) << f.message().substr(0, 300);
    }
    EXPECT_EQ(kinds, (std::set<std::string>{"collision", "leader-splits-word", "link-clash", "needs-quoting", "too-long"}));
}

const char kFoldsEveryAlphabet[] =
    "collision:db2 collision:mariadb collision:mysql collision:oracle collision:oracle11 collision:sql2016 "
    "collision:sqlserver";

TEST(MappingCheckerTest, CollisionsAsWrittenAfterFoldingAndAfterTruncation)
{
    const std::string longA = std::string(63, 'x') + "_Alpha";
    const std::string longB = std::string(63, 'x') + "_Beta";
    const std::string everywhere =
        "collision:db2 collision:mariadb collision:mysql collision:oracle collision:oracle11 collision:postgresql "
        "collision:sql2016 collision:sqlite collision:sqlserver";
    struct Case {
        std::vector<std::string> tables;
        std::string expected; // the collisions of the first class
        std::string reason;   // in its PostgreSQL message
    };
    const Case cases[] = {
        {{"Order_Item", "Order_Item"}, everywhere, "the same table as Order_Item (class C1 in shop) on PostgreSQL"},
        {{"Order_Item", "order_Item"}, everywhere, ": unquoted names are folded to lower case"},
        {{"Order_Item", "OrderItem", "Order_Items"}, "", ""},
        {{longA, longB}, "collision:postgresql", ": PostgreSQL cuts names to 63 bytes, leaving " + std::string(63, 'x')},
        {{std::string(63, 'x'), longB}, "collision:postgresql", "cuts names to 63 bytes"},
        {{longA, "Y" + longB.substr(1)}, "", ""},
        // Letters beyond ASCII change case where the database folds every
        // alphabet, not on PostgreSQL and SQLite: A, O and U with diaeresis,
        // Cyrillic, Greek with its final sigma, full-width Latin.
        {{"\xC3\x9C" "bersicht", "\xC3\xBC" "bersicht"}, kFoldsEveryAlphabet, ""},
        {{"\xD0\x97\xD0\xB0\xD0\xBA\xD0\xB0\xD0\xB7", "\xD0\xB7\xD0\x90\xD0\x9A\xD0\xB0\xD0\xB7"},
         kFoldsEveryAlphabet, ""},
        {{"\xCE\xA3\xCE\x9F\xCE\xA6\xCE\x91\xCE\xA3", "\xCF\x83\xCE\xBF\xCF\x86\xCE\xB1\xCF\x82"},
         kFoldsEveryAlphabet, ""},
        {{"\xEF\xBC\xA1\xEF\xBC\xA2", "\xEF\xBD\x81\xEF\xBD\x82"}, kFoldsEveryAlphabet, ""},
        // Different letters stay apart however they are folded.
        {{"\xC3\x84pfel", "\xC3\xA5pfel"}, "", ""},
    };
    const MappingChecker checker(targets("all"), {});
    for (const Case& c : cases) {
        std::vector<ClassEntry> classes;
        for (std::size_t i = 0; i < c.tables.size(); ++i)
            classes.push_back(entry("C" + std::to_string(i), c.tables[i]));
        const auto findings = checker.check(classes, {});
        const std::string collisions = kindsOf(findings, 0, false, "collision");
        EXPECT_EQ(collisions, c.expected) << c.tables[0] << " / " << c.tables[1];
        if (c.expected == kFoldsEveryAlphabet) {
            EXPECT_EQ(messageOf(findings, FindingKind::Collision, "sqlserver"),
                      "the same table as " + c.tables[1] +
                          " (class C1 in shop) on SQL Server: unquoted names are compared case-insensitively");
        }
        if (!c.reason.empty()) {
            EXPECT_NE(messageOf(findings, FindingKind::Collision, "postgresql").find(c.reason), std::string::npos)
                << messageOf(findings, FindingKind::Collision, "postgresql");
        }
    }
}

TEST(MappingCheckerTest, ACollisionGivesTheReasonOfTheOthersItNames)
{
    // Person twice, as written; the link of Person to PERSON is Person's
    // own table and no reason for the two to be one.
    std::vector<ClassEntry> classes = {entry("Person", "Person"), entry("Person", "Person")};
    classes[1].package = "other";
    const MappingChecker checker(targets("postgresql"), {});
    const auto findings = checker.check(classes, {{"Person", "PERSON", 1}});
    EXPECT_EQ(messageOf(findings, FindingKind::Collision, "postgresql", 0),
              "the same table as Person (class Person in other) on PostgreSQL");
}

TEST(MappingCheckerTest, ACollisionNamesTheOthersButNotItsOwnLink)
{
    std::vector<ClassEntry> classes = {entry("OrderItem", "Order_Item"), entry("orderItem", "order_Item"),
                                       entry("Person", "Person"), entry("Skipped", "", Outcome::Skipped),
                                       entry("Gone", "Order_Item", Outcome::Unnamed)};
    classes[1].package = "";
    // The link of Person names the table Person gets: one class, one table.
    const std::vector<LinkEntry> links = {{"Person", "PERSON", 1}, {"Customer", "ORDER_ITEM", 1}};
    const MappingChecker checker(targets("oracle"), {});
    const auto findings = checker.check(classes, links);
    EXPECT_EQ(messageOf(findings, FindingKind::Collision, "oracle", 0),
              "the same table as order_Item (class orderItem) and ORDER_ITEM (the link Customer -> ORDER_ITEM) on "
              "Oracle: unquoted names are folded to upper case");
    EXPECT_EQ(kindsOf(findings, 2), "");
    EXPECT_EQ(kindsOf(findings, 0, true), "");
    EXPECT_EQ(kindsOf(findings, 1, true), "collision:oracle");
    // Classes without a table take no part.
    EXPECT_EQ(kindsOf(findings, 3), "");
    EXPECT_EQ(kindsOf(findings, 4), "");
    // By subject: the classes in order, then the links.
    for (std::size_t i = 1; i < findings.size(); ++i)
        EXPECT_LE(std::make_pair(findings[i - 1].onLink, findings[i - 1].index),
                  std::make_pair(findings[i].onLink, findings[i].index));
}

TEST(MappingCheckerTest, AHugeGroupIsFoundInLinearTimeAndNamedBriefly)
{
    // Quadratic grouping or messages would take minutes here.
    const std::vector<ClassEntry> classes(50000, entry("Same", "Same"));
    const MappingChecker checker(targets("postgresql,sqlserver"), {});
    const auto findings = checker.check(classes, {});
    ASSERT_EQ(findings.size(), 100000u);
    std::string ten;
    for (int i = 0; i < 10; ++i)
        ten += (i ? ", " : "") + std::string("Same (class Same in shop)");
    EXPECT_EQ(findings.back().message(), "the same table as " + ten + " and 49989 more on SQL Server");
}

TEST(MappingCheckerTest, AClassBehindManyOfItsOwnStillNamesAnother)
{
    // Seventy classes X, and the link X -> x: for the link, the first
    // members of the group are all its own class.
    std::vector<ClassEntry> classes(70, entry("X", "X"));
    for (std::size_t i = 0; i < classes.size(); ++i)
        classes[i].package = "p" + std::to_string(i);
    classes.push_back(entry("x", "x"));
    const std::vector<LinkEntry> links = {{"X", "x", 1}};
    const auto findings = MappingChecker(targets("oracle11"), {}).check(classes, links);
    std::string linkCollision, linkClash;
    for (const MappingFinding& f : findings) {
        if (f.onLink)
            (f.kind == FindingKind::Collision ? linkCollision : linkClash) = f.message();
    }
    EXPECT_EQ(linkCollision, "the same table as x (class x in shop) on Oracle before 12.2: unquoted names are "
                             "folded to upper case");
    EXPECT_EQ(linkClash, "its table x is the table class x in shop gets from its own name");
}

TEST(MappingCheckerTest, EachOfAGroupNamesAllTheOthers)
{
    const std::vector<ClassEntry> classes = {entry("Abc", "Abc"), entry("ABC", "ABC"), entry("abc", "abc"),
                                             entry("ABc", "ABc"), entry("aBC", "aBC")};
    const auto findings = MappingChecker(targets("sqlserver"), {}).check(classes, {});
    ASSERT_EQ(findings.size(), 5u);
    EXPECT_EQ(findings[0].message(),
              "the same table as ABC (class ABC in shop), abc (class abc in shop), ABc (class ABc in shop) and aBC "
              "(class aBC in shop) on SQL Server: unquoted names are compared case-insensitively");
    EXPECT_EQ(findings[4].message(),
              "the same table as Abc (class Abc in shop), ABC (class ABC in shop), abc (class abc in shop) and ABc "
              "(class ABc in shop) on SQL Server: unquoted names are compared case-insensitively");
}

// Members past the first few of a group share their words; whoever they
// are, none is named among its own others, and every one counts them all.
TEST(MappingCheckerTest, NoMemberOfABigGroupNamesItself)
{
    std::vector<ClassEntry> classes;
    for (int i = 0; i < 40; ++i)
        classes.push_back(entry("C" + std::to_string(i), i % 2 == 0 ? "Order_Item" : "ORDER_ITEM"));
    // Links of classes of the group, early and late: a link and its
    // class are one table, not each other's others.
    const std::vector<LinkEntry> links = {{"C0", "order_item", 1}, {"C3", "Order_item", 1}, {"C35", "order_ITEM", 1}};
    const auto findings = MappingChecker(targets("sqlserver"), {}).check(classes, links);
    std::size_t collisions = 0;
    for (const MappingFinding& f : findings) {
        if (f.kind != FindingKind::Collision)
            continue;
        ++collisions;
        const std::string own = f.onLink ? links[f.index].className : classes[f.index].className;
        const std::string message = f.message();
        EXPECT_EQ(message.find("(class " + own + " in shop)"), std::string::npos) << own << ": " << message;
        EXPECT_EQ(message.find("(the link " + own + " -> "), std::string::npos) << own << ": " << message;
        // 39 other classes, and the links of other classes.
        const std::size_t others = 39 + (own == "C0" || own == "C3" || own == "C35" ? 2 : 3);
        std::size_t named = 0;
        for (std::size_t at = message.find(" ("); at != std::string::npos; at = message.find(" (", at + 1))
            ++named;
        const std::size_t more = message.find(" and " + std::to_string(others - named) + " more on SQL Server");
        EXPECT_NE(more, std::string::npos) << own << " names " << named << ": " << message;
    }
    EXPECT_EQ(collisions, 43u);
}

TEST(MappingCheckerTest, LeaderThatSplitsAWord)
{
    struct Case {
        const char* className;
        const char* table;
        Outcome outcome;
        const char* message; // empty: no finding
    };
    const Case cases[] = {
        {"Ticket", "icket", Outcome::Set,
         "the leader code T was removed from Ticket, leaving icket: T is probably the start of a word, not a prefix"},
        {"TUser", "User", Outcome::Set, ""},
        // Leaders are tried in the config's order: Tb before T.
        {"Tbody", "ody", Outcome::TableNotFound,
         "the leader code Tb was removed from Tbody, leaving ody: Tb is probably the start of a word, not a prefix"},
        {"TbOrder", "Order", Outcome::Set, ""},
        {"T", "", Outcome::Set, ""},
        {"T9lives", "9lives", Outcome::Set, ""},
        {"Tracker", "", Outcome::Skipped, ""},
        {"order", "order", Outcome::Set, ""},
        // A lower-case letter beyond ASCII starts a word as well: T, then u
        // with diaeresis; T, then A with diaeresis does not.
        {"T\xC3\xBCte", "\xC3\xBCte", Outcome::Set,
         "the leader code T was removed from T\xC3\xBCte, leaving \xC3\xBCte: T is probably the start of a word, not a "
         "prefix"},
        {"T\xC3\x84nderung", "\xC3\x84nderung", Outcome::Set, ""},
        // A leader ending in something other than a letter is a prefix.
        {"t_orderItem", "order_Item", Outcome::Set, ""},
        {"TBL1order", "order", Outcome::Set, ""},
    };
    const MappingChecker checker({}, {"Tb", "t_", "TBL1", "T"});
    for (const Case& c : cases) {
        const auto findings = checker.check({entry(c.className, c.table, c.outcome)}, {});
        if (*c.message == '\0') {
            EXPECT_TRUE(findings.empty()) << c.className << ": " << findings.front().message();
            continue;
        }
        ASSERT_EQ(findings.size(), 1u) << c.className;
        EXPECT_EQ(findings[0].kind, FindingKind::LeaderSplitsWord);
        EXPECT_EQ(findings[0].target, nullptr);
        EXPECT_EQ(findings[0].message(), c.message);
    }
    // Without leaders nothing is taken for one.
    EXPECT_TRUE(MappingChecker({}, {}).check({entry("Ticket", "Ticket")}, {}).empty());
}

TEST(MappingCheckerTest, ALinkToTheTableOfAnotherClass)
{
    const std::vector<ClassEntry> classes = {entry("OrderItem", "Order_Item"), entry("Customer", "Customer"),
                                             entry("Person", "Person")};
    const std::vector<LinkEntry> links = {{"Customer", "Order_Item", 1}, {"Person", "Person", 1},
                                          {"Invoice", "order_item", 1}};
    // Without targets only what holds everywhere: the exact name.
    const auto findings = MappingChecker({}, {}).check(classes, links);
    ASSERT_EQ(findings.size(), 2u);
    EXPECT_FALSE(findings[0].onLink);
    EXPECT_EQ(findings[0].index, 0u);
    EXPECT_EQ(findings[0].kind, FindingKind::LinkClash);
    EXPECT_EQ(findings[0].message(), "its table Order_Item is also the table of the link Customer -> Order_Item");
    EXPECT_TRUE(findings[1].onLink);
    EXPECT_EQ(findings[1].index, 0u);
    EXPECT_EQ(findings[1].message(), "its table Order_Item is the table class OrderItem in shop gets from its own name");

    // Thousands of links to one class's table: one finding each side.
    std::vector<LinkEntry> many;
    for (int i = 0; i < 20000; ++i)
        many.push_back({"Link" + std::to_string(i), "Order_Item", 1});
    const auto crowd = MappingChecker({}, {}).check(classes, many);
    ASSERT_EQ(crowd.size(), 20001u);
    std::string ten;
    for (int i = 0; i < 10; ++i)
        ten += (i ? ", the link Link" : "the link Link") + std::to_string(i) + " -> Order_Item";
    EXPECT_EQ(crowd[0].message(), "its table Order_Item is also the table of " + ten + " and 19990 more");
}

TEST(MappingCheckerTest, RandomNamesCollideExactlyWhenTheirKeptNamesMatch)
{
    // Names of awkward pieces (multi-byte characters, stray continuation
    // bytes, control bytes), many near PostgreSQL's 63 bytes; each pair is
    // compared the slow way and must agree with the grouping.
    const char* const pieces[] = {"a", "A", "b", "_", "-", "1", "\xC3\xA4", "\xE4\xB8\xAD", "\x80", "\x01", "\""};
    std::mt19937 random(14);
    std::vector<ClassEntry> classes;
    for (int i = 0; i < 1500; ++i) {
        std::string name = i % 3 == 0 ? std::string(60, 'q') : "";
        const std::size_t length = random() % (i % 2 ? 8 : 40);
        for (std::size_t k = 0; k < length; ++k)
            name += pieces[random() % (sizeof pieces / sizeof pieces[0])];
        classes.push_back(entry("C" + std::to_string(i), name));
    }
    const DatabaseTarget* pg = DatabaseTarget::find("postgresql");
    const MappingChecker checker({pg}, {});
    const auto findings = checker.check(classes, {});
    std::vector<bool> collides(classes.size(), false);
    for (const MappingFinding& f : findings) {
        if (f.kind == FindingKind::Collision)
            collides[f.index] = true;
    }
    const auto lowered = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
        return text;
    };
    std::vector<std::string> keys;
    for (const ClassEntry& c : classes)
        keys.push_back(lowered(pg->keptName(c.tableName)));
    std::size_t colliding = 0;
    for (std::size_t i = 0; i < classes.size(); ++i) {
        bool expected = false;
        for (std::size_t j = 0; j < classes.size() && !expected; ++j)
            expected = j != i && keys[i] == keys[j];
        EXPECT_EQ(collides[i], expected) << classes[i].tableName;
        colliding += expected;
    }
    EXPECT_GT(colliding, 100u) << "the names should collide often enough to test something";
}

} // namespace
} // namespace wiredhost
