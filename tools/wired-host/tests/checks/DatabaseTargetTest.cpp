#include <gtest/gtest.h>

#include <cstring>

#include "DatabaseTarget.h"
#include "WordList.h"

namespace wiredhost {
namespace {

TEST(WordListTest, EveryListIsSortedHoldsTheCommonWordsAndHasAPlausibleSize)
{
    struct Expected {
        const char* name;
        std::size_t least, most;
    };
    // Sizes around those of the packages the lists came from: a parser
    // that loses most of a list, or takes in text that is no word, shows.
    const Expected expected[] = {
        {"db2", 300, 450},   {"mariadb", 200, 300},    {"mysql", 220, 320}, {"oracle", 90, 150},
        {"postgresql", 80, 130}, {"sql2016", 350, 450}, {"sqlite", 100, 160}, {"sqlserver", 150, 220},
    };
    ASSERT_EQ(WordList::kCount, sizeof expected / sizeof expected[0]);
    for (const Expected& e : expected) {
        const WordList* list = WordList::find(e.name);
        ASSERT_NE(list, nullptr) << e.name;
        EXPECT_GE(list->size, e.least) << e.name;
        EXPECT_LE(list->size, e.most) << e.name;
        for (std::size_t i = 1; i < list->size; ++i)
            EXPECT_LT(std::strcmp(list->words[i - 1], list->words[i]), 0) << e.name << " at " << list->words[i];
        for (const char* word : {"ORDER", "GROUP", "SELECT", "TABLE", "WHERE"})
            EXPECT_TRUE(list->contains(word)) << e.name << " lacks " << word;
        EXPECT_FALSE(list->contains("ORDERS")) << e.name;
        EXPECT_FALSE(list->contains("order")) << e.name << ": the words are upper case";
        EXPECT_FALSE(list->contains("")) << e.name;
    }
    // Words that set the lists apart.
    EXPECT_TRUE(WordList::find("oracle")->contains("USER"));
    EXPECT_TRUE(WordList::find("postgresql")->contains("USER"));
    EXPECT_FALSE(WordList::find("mysql")->contains("USER"));
    EXPECT_TRUE(WordList::find("sql2016")->contains("END-EXEC"));
    EXPECT_TRUE(WordList::find("mysql")->contains("RANK")) << "MySQL 8.0's additions";
    EXPECT_EQ(WordList::find("nosuch"), nullptr);
}

TEST(DatabaseTargetTest, EveryTargetHasItsWordList)
{
    ASSERT_EQ(DatabaseTarget::all().size(), 9u);
    for (const DatabaseTarget& target : DatabaseTarget::all())
        EXPECT_TRUE(target.words().contains("ORDER")) << target.name;
}

TEST(DatabaseTargetTest, TargetListsAreReadWithAllAndInTheTablesOrder)
{
    struct Case {
        const char* list;
        const char* names; // the targets chosen, or the error's start
        bool ok;
    };
    const Case cases[] = {
        {"postgresql", "postgresql", true},
        {"sqlserver,postgresql,oracle11", "oracle11 postgresql sqlserver", true},
        {" PostgreSQL , db2,postgresql", "postgresql db2", true},
        {"all", "oracle oracle11 postgresql mysql mariadb sqlserver db2 sqlite sql2016", true},
        {"db2,all", "oracle oracle11 postgresql mysql mariadb sqlserver db2 sqlite sql2016", true},
        {"oracle12", "unknown target 'oracle12'", false},
        {"", "an empty target", false},
        {"postgresql,", "an empty target", false},
        {",db2", "an empty target", false},
    };
    for (const Case& c : cases) {
        std::vector<const DatabaseTarget*> targets;
        std::string error;
        const bool ok = DatabaseTarget::parseList(c.list, targets, error);
        EXPECT_EQ(ok, c.ok) << c.list;
        if (ok) {
            std::string names;
            for (const DatabaseTarget* t : targets)
                names += (names.empty() ? "" : " ") + std::string(t->name);
            EXPECT_EQ(names, c.names) << c.list;
        } else {
            EXPECT_EQ(error.rfind(c.names, 0), 0u) << error;
            EXPECT_NE(error.find("the targets are oracle, oracle11, postgresql"), std::string::npos) << error;
        }
    }
}

TEST(DatabaseTargetTest, PostgreSqlCutsAtACharacterBoundary)
{
    const DatabaseTarget& pg = *DatabaseTarget::find("postgresql");
    const std::string ascii(70, 'a');
    EXPECT_EQ(pg.keptName(ascii), std::string(63, 'a'));
    // 62 bytes, then a two-byte character across the limit: it goes whole.
    const std::string split = std::string(62, 'a') + "\xC3\xA4" + "bc";
    EXPECT_EQ(pg.keptName(split), std::string(62, 'a'));
    EXPECT_EQ(pg.keptName("short"), "short");
    // Targets that refuse long names keep them as they are.
    EXPECT_EQ(DatabaseTarget::find("oracle11")->keptName(ascii), ascii);
    EXPECT_EQ(DatabaseTarget::find("mysql")->lengthOf("\xC3\xA4\xC3\xA4"), 2u);
    EXPECT_EQ(DatabaseTarget::find("oracle")->lengthOf("\xC3\xA4\xC3\xA4"), 4u);
}

} // namespace
} // namespace wiredhost
