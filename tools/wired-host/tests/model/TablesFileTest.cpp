// The --tables file: names one a line, or the tables of a SQL script.
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Model.h"
#include "model/TablesFile.h"

namespace wiredhost {
namespace {

using Tables = std::vector<std::pair<std::string, bool>>;

Tables parsed(const std::string& text)
{
    TablesFile file;
    file.parse(text);
    Tables tables;
    for (const TablesFile::Table& table : file.tables())
        tables.emplace_back(table.name, table.anyCase);
    return tables;
}

const char kScript[] = R"(-- CREATE TABLE commented_out (id int);
/* CREATE TABLE also_commented (id int); */
CREATE TABLE Order_Item (id int, note varchar(20) DEFAULT 'CREATE TABLE in_a_string');
create table if not exists shop."Purchase_Order" (id int);
CREATE GLOBAL TEMPORARY TABLE [dbo].[Invoice_Line] (id int);
CREATE TABLE `odd``name` (id int);
CREATE VIEW Not_A_Table AS SELECT 1;
CREATE OR REPLACE TABLE s.Customer (x int);
CREATE INDEX ix ON Order_Item (id);
CREATE TABLE "say ""hi""" (x int);
)";

TEST(TablesFile, SqlScriptsGiveTheTablesTheyCreate)
{
    const Tables expected = {{"Order_Item", true}, {"Purchase_Order", false}, {"Invoice_Line", false},
                             {"odd`name", false},  {"Customer", true},       {"say \"hi\"", false}};
    EXPECT_EQ(parsed(kScript), expected);
    EXPECT_TRUE(TablesFile::isSql(kScript));
}

TEST(TablesFile, OtherwiseOneNameALine)
{
    const Tables expected = {{"Order_Item", false}, {"Customer Master", false}, {"# not a comment", false}};
    EXPECT_EQ(parsed("Order_Item\r\n  Customer Master \n\n# not a comment\n"), expected);
    EXPECT_FALSE(TablesFile::isSql("create_table\nCREATE\n"));
    EXPECT_TRUE(parsed("").empty());
}

TEST(TablesFile, ModelMatchesQuotedNamesExactlyAndUnquotedInAnyCase)
{
    const std::string path = std::string(WIREDHOST_TEST_SCRATCH) + "/tables.sql";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs(kScript, file);
    std::fclose(file);

    Model model;
    std::string error;
    ASSERT_TRUE(model.load(std::string(WIREDHOST_TEST_MODELS) + "/papyrus.uml", error)) << error;
    EXPECT_TRUE(model.hasTable("Anything")) << "without tables every name is taken";
    ASSERT_TRUE(model.loadTables(path, error)) << error;
    EXPECT_TRUE(model.namesTables());
    EXPECT_TRUE(model.hasTable("Order_Item"));
    EXPECT_TRUE(model.hasTable("ORDER_ITEM"));
    EXPECT_TRUE(model.hasTable("Purchase_Order"));
    EXPECT_FALSE(model.hasTable("purchase_order"));
    EXPECT_FALSE(model.hasTable("Not_A_Table"));
    EXPECT_FALSE(model.hasTable("Anything"));

    EXPECT_FALSE(model.loadTables(path + ".missing", error));
    EXPECT_NE(error.find("cannot open the tables file"), std::string::npos) << error;
}

} // namespace
} // namespace wiredhost
