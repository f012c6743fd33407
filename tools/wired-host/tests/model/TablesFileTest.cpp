// The --tables file: names one a line, or the tables of a SQL script.
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Deflated.h"
#include "model/Encoding.h"
#include "model/Model.h"
#include "model/SqlScanner.h"
#include "model/TablesFile.h"
#include "ScratchFile.h"

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

// Strings and names of each dialect that must hide nothing after them:
// every table of each script is found.
struct DialectCase {
    const char* what;
    const char* script;
    Tables expected;
};

const DialectCase kDialects[] = {
    {"MySQL backslash escape", "INSERT INTO p VALUES ('O\\'Brien', 'a\\\\');\nCREATE TABLE `after` (id int);",
     {{"after", false}}},
    {"MySQL double-quoted string", "INSERT INTO p VALUES (\"say \\\"hi\\\"\");\nCREATE TABLE b (id int);",
     {{"b", true}}},
    {"PostgreSQL E string", "COMMENT ON TABLE a IS E'it\\'s';\nCREATE TABLE b (id int);", {{"b", true}}},
    {"standard backslash kept", "INSERT INTO p VALUES ('C:\\');\nCREATE TABLE b (id int);", {{"b", true}}},
    {"standard backslash before another string",
     "INSERT INTO p VALUES ('C:\\', 'x');\nCREATE TABLE b (id int);", {{"b", true}}},
    // Where both readings close, the one after which SQL goes on wins.
    {"standard backslashes in two strings",
     "INSERT INTO p VALUES ('C:\\');\nCREATE TABLE a (id int);\nINSERT INTO p VALUES ('D:\\');\nCREATE TABLE b (id int);",
     {{"a", true}, {"b", true}}},
    {"MySQL escaped quote before a blank",
     "INSERT INTO p VALUES ('He said \\'no\\' today');\nCREATE TABLE a (id int);\n"
     "INSERT INTO p VALUES (1,'\\''),(2,'x');\nCREATE TABLE b (id int);",
     {{"a", true}, {"b", true}}},
    {"both readings in one script",
     "SELECT 'C:\\', E'x\\'y';\nCREATE TABLE a (id int);\nSELECT 'D:\\';\nCREATE TABLE b (id int);",
     {{"a", true}, {"b", true}}},
    {"standard backslash, a quote lines below in a comment",
     "INSERT INTO a VALUES ('C:\\');\nCREATE TABLE t01 (x int);\nCREATE TABLE t02 (a int); -- ' quote\n",
     {{"t01", true}, {"t02", true}}},
    {"words between CREATE and TABLE",
     "CREATE FOREIGN TABLE f1 (id int) SERVER s;\nCREATE PRIVATE TEMPORARY TABLE ora$ptt_a (id int);\n"
     "CREATE COLUMN TABLE h1 (id int);\nCREATE CACHED TABLE c1 (id int);\nCREATE OR REPLACE TRANSIENT TABLE s1 (id int);",
     {{"f1", true}, {"ora$ptt_a", true}, {"h1", true}, {"c1", true}, {"s1", true}}},
    {"SQL Server's ]] in a name", "CREATE TABLE [a]]b] (id int);\nCREATE TABLE [dbo].[c] (id int);",
     {{"a]b", false}, {"c", false}}},
    {"dollar quoting",
     "CREATE FUNCTION f() RETURNS int AS $$ SELECT 'CREATE TABLE no_1 ('; $$ LANGUAGE sql;\n"
     "CREATE TABLE a (id int);\n"
     "DO $body$ BEGIN EXECUTE 'x'''; CREATE TABLE no_2 (id int); END $body$;\n"
     "CREATE TABLE b (price$ int, $1 int);",
     {{"a", true}, {"b", true}}},
    // Tags of runs and of one string each, in turn: each closes only its own.
    {"dollar quoting with different tags in turn",
     "DO $a$ $b$ $$ $a$;\nCREATE TABLE t1 (x int);\nDO $$ CREATE TABLE no_1 (x int); $b$ $$;\n"
     "CREATE TABLE t2 (x int) $b$ $a$ $$ $$;\nCREATE TABLE t3 (x int);",
     {{"t1", true}, {"t2", true}, {"t3", true}}},
    {"unclosed dollar is a word", "CREATE TABLE a$ (x int);\nCREATE TABLE $b (x int);", {{"a$", true}, {"$b", true}}},
    {"SQL Server temporary tables",
     "# a MySQL comment: CREATE TABLE no_1 (id int)\nCREATE TABLE #staging (id int);\n"
     "CREATE TABLE ##shared (id int);\nCREATE TABLE IF NOT EXISTS #later (id int);\n#CREATE TABLE no_2 (x int);\n",
     {{"#staging", true}, {"##shared", true}, {"#later", true}}},
    {"Oracle alternative quoting",
     "INSERT INTO p VALUES (q'[it's]');\nCREATE TABLE a (id int);\nINSERT INTO p VALUES (Q'{don't}', nq'<a'b>');\n"
     "CREATE TABLE b (id int);\nINSERT INTO p VALUES (q'!won't!', q'(x)');\nCREATE TABLE c (id int);\n"
     "INSERT INTO p VALUES (q'[CREATE TABLE no_1 (x int)]');\nCREATE TABLE q (id int);\nCREATE TABLE d (id int);",
     {{"a", true}, {"b", true}, {"c", true}, {"q", true}, {"d", true}}},
    // Where both readings close, the rest of the line decides: read with
    // escapes, 'C:\', ' leaves the quotes after it unpaired.
    {"standard backslash before more strings on its line",
     "INSERT INTO t VALUES ('C:\\', ' ', 'x');\nCREATE TABLE a (id int);\nINSERT INTO u VALUES ('y');\n"
     "CREATE TABLE b (id int);",
     {{"a", true}, {"b", true}}},
    {"comments to a lone CR (old Mac line ends)",
     "-- comment\rCREATE TABLE a (id int);\r# c\rCREATE TABLE b (id int);\rREM it's\rCREATE TABLE c (x int);\r",
     {{"a", true}, {"b", true}, {"c", true}}},
    {"PostgreSQL's #> operator", "SELECT '{\"a\":1}'::jsonb #> '{a}'; CREATE TABLE a (id int);", {{"a", true}}},
    {"MySQL versioned comments are run",
     "/*!40101 SET NAMES utf8 */;\n/*!50001 CREATE TABLE v (id int) */;\nCREATE TABLE b (id int);\n"
     "/* CREATE TABLE no_1 (x int) */",
     {{"v", true}, {"b", true}}},
    {"a CREATE cut short by another", "CREATE\nCREATE TABLE a (id int);", {{"a", true}}},
    {"a [ its line does not close", "SELECT y[ FROM z;\nCREATE TABLE a (id int); -- ]\n`x\nCREATE TABLE b (y int);",
     {{"a", true}, {"b", true}}},
    {"SQL*Plus remarks and prompts",
     "REM Don't run this twice\nCREATE TABLE a (id int);\nPROMPT Creating the customer's tables\n"
     "CREATE TABLE b (id int,\n  rem varchar2(9) DEFAULT 'x');\nremark it's b\n"
     "CREATE TABLE c (x varchar2(9) DEFAULT 'it''s');",
     {{"a", true}, {"b", true}, {"c", true}}},
    {"SQL Server temporary tables used", "DROP TABLE IF EXISTS #work; CREATE TABLE a (id int);\n"
     "INSERT INTO #notes VALUES ('line one\nline two');\nCREATE TABLE b (id int);\nSELECT * FROM #t JOIN ##u ON 1=1;"
     "\nUPDATE #t SET x = 'y';\nCREATE TABLE c (id int);",
     {{"a", true}, {"b", true}, {"c", true}}},
    {"PostgreSQL's nested comments",
     "/* outer /* old note */ don't run this */\nCREATE TABLE a (id int);\nINSERT INTO p VALUES ('x');\n"
     "/* CREATE TABLE no_1 /* CREATE TABLE no_2 */ CREATE TABLE no_3 */ CREATE TABLE b (id int);",
     {{"a", true}, {"b", true}}},
    {"MySQL's comments do not nest",
     "/* see dir/*.sql */\nCREATE TABLE a (id int);\n/* another */\nCREATE TABLE b (id int);",
     {{"a", true}, {"b", true}}},
    {"an E string runs on to a later line", "INSERT INTO p VALUES (E'a\\', b\nc');\nCREATE TABLE a (id int);\n"
     "INSERT INTO p VALUES ('y');",
     {{"a", true}}},
    {"a table named if", "CREATE TABLE if (id int);\nCREATE TABLE IF NOT EXISTS b (id int);",
     {{"if", true}, {"b", true}}},
    // Telling 'Height: 5\' 10' from 'Height: 5\' by what follows on its line:
    // the ' in "Don't" is inside another text and pairs with nothing.
    {"a quote inside the other quotes", "INSERT INTO p VALUES (1, 'Height: 5\\' 10', \"Don't\");\n"
     "CREATE TABLE a (id int);\nINSERT INTO n VALUES (2, \"ok\");\nCREATE TABLE b (id int);",
     {{"a", true}, {"b", true}}},
    {"tables named as SQL*Plus commands", "CREATE TABLE\npro (x int);\nCREATE TABLE\nrem (x int);\n",
     {{"pro", true}, {"rem", true}}},
    // pg_dump's rows are data, not SQL: an apostrophe there opens nothing.
    {"rows of COPY FROM stdin", "COPY public.p (x) FROM stdin;\nO'Brien\tx\n\\.\nCREATE TABLE a (id int);\n"
     "COPY q FROM STDIN WITH (FORMAT csv);\r\n\"it's\"\r\n\\.\r\nCREATE TABLE b (id int);",
     {{"a", true}, {"b", true}}},
    {"# and @ inside a name", "CREATE TABLE emp#hist (id int); CREATE TABLE a (id int);\n"
     "CREATE TABLE Order@Line (x int); CREATE TABLE b (id int); # it's a comment\nCREATE TABLE c (id int);",
     {{"emp#hist", true}, {"a", true}, {"Order@Line", true}, {"b", true}, {"c", true}}},
    {"the standard's Unicode names", "CREATE TABLE U&\"d\\0061ta\" (x int);\nCREATE TABLE u&\"\\+01F600!\\\\\" (x int);\n"
     "CREATE TABLE U&\"!00E9t\\e\" UESCAPE '!' (x int);\nCREATE TABLE U&\"\\00zz\" (x int);\nCREATE TABLE u&x (x int);",
     {{"data", false}, {"\xF0\x9F\x98\x80!\\", false}, {"\xC3\xA9t\\e", false}, {"\\00zz", false}, {"u", true}}},
    // A dump with routines: $$ ends statements there, it quotes nothing;
    // after DELIMITER ; it is PostgreSQL's again.
    {"the mysql client's DELIMITER", "DELIMITER $$\nCREATE TABLE a (x int)$$\nCREATE TABLE b (x int)$$\n"
     "CREATE PROCEDURE p() BEGIN SELECT 1; END$$\ndelimiter ;\nCREATE TABLE c (x text DEFAULT $$ CREATE TABLE no $$);\n"
     "CREATE TABLE\ndelimiter (x int);",
     {{"a", true}, {"b", true}, {"c", true}, {"delimiter", true}}},
};

TEST(TablesFile, EveryDialectsStringsHideNoLaterTable)
{
    for (const DialectCase& c : kDialects)
        EXPECT_EQ(parsed(c.script), c.expected) << c.what;
}

// Texts that are never closed are each read to the end of the file: a
// file of 100,000 of them must still be read in a moment, not quadratic.
TEST(TablesFile, StrayQuotesAreReadInLinearTime)
{
    for (const char* stray : {"'\\", "[", "\"\\", "`", "$a$ ", "$$x", "q'[", "q'x", " E'\\", "/* /* */ ", " U&\""}) {
        std::string script;
        for (int i = 0; i < 100000; ++i)
            script += stray + std::to_string(i % 10);
        script += "\nCREATE TABLE last (id int);";
        const Tables tables = parsed(script);
        ASSERT_FALSE(tables.empty()) << stray;
        EXPECT_EQ(tables.back(), Tables::value_type("last", true)) << stray;
    }
    // Each \' closes a string read plainly and is escaped in the reading
    // that goes on to the last quote: that reading is made once (made for
    // each string, this would take an hour).
    std::string script;
    for (int i = 0; i < 300000; ++i)
        script += "\\' ";
    script += "'x\nCREATE TABLE last (id int);";
    EXPECT_EQ(parsed(script), Tables({{"last", true}}));
}

// A UTF-8 script is read before its names go to the host's code page:
// there the second byte of 表 and ソ is a backslash (Shift_JIS), which
// would escape the quote after it.
TEST(TablesFile, Utf8ScriptsAreReadBeforeTheirNamesAreConverted)
{
    const std::string path = std::string(WIREDHOST_TEST_SCRATCH) + "/tables-utf8.sql";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("CREATE TABLE \"\xE8\xA1\xA8\" (note text DEFAULT '\xE3\x82\xBD' || ' ');\n"
               "CREATE TABLE `\xE3\x82\xBD` (id int);\nCREATE TABLE last (id int);\nINSERT INTO last VALUES ('x');\n",
               file);
    std::fclose(file);
    TablesFile tables;
    std::string error;
    ASSERT_TRUE(tables.read(path, error)) << error;
    const Tables expected = {{encoding::utf8ToHost("\xE8\xA1\xA8"), false},
                             {encoding::utf8ToHost("\xE3\x82\xBD"), false}, {"last", true}};
    Tables found;
    for (const TablesFile::Table& table : tables.tables())
        found.emplace_back(table.name, table.anyCase);
    EXPECT_EQ(found, expected) << "host code page " << encoding::hostCodePage();
}

// Notepad's "Unicode": UTF-16 with a byte-order mark, names or SQL.
TEST(TablesFile, Utf16FilesAreRead)
{
    const struct {
        const char* file;
        const char* encoding;
        const char* mark;
        const char* text;
        Tables expected;
    } cases[] = {
        {"names-utf16.txt", "UTF-16LE", "\xFF\xFE", "Order_Item\r\nCustomer\r\n", {{"Order_Item", false}, {"Customer", false}}},
        {"script-utf16.sql", "UTF-16BE", "\xFE\xFF", "CREATE TABLE [Order_Item] (id int);", {{"Order_Item", false}}},
        // Without the mark, as some editors and shells write it.
        {"names-utf16-plain.txt", "UTF-16LE", "", "Order_Item\r\nCustomer\r\n",
         {{"Order_Item", false}, {"Customer", false}}},
    };
    for (const auto& c : cases) {
        std::string utf16;
        ASSERT_TRUE(encoding::fromUtf8(c.text, c.encoding, utf16)) << c.file;
        const std::string path = std::string(WIREDHOST_TEST_SCRATCH) + "/" + c.file;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        const std::string bytes = c.mark + utf16;
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        TablesFile tables;
        std::string error;
        ASSERT_TRUE(tables.read(path, error)) << error;
        Tables found;
        for (const TablesFile::Table& table : tables.tables())
            found.emplace_back(table.name, table.anyCase);
        EXPECT_EQ(found, c.expected) << c.file;
    }
}

// A dump piped through gzip is read; other packed or binary data is no
// list of tables, and taken for one would leave every class without its
// table.
TEST(TablesFile, PackedAndBinaryFiles)
{
    const std::string script = "CREATE TABLE shop.Order_Item (id int);\n";
    const struct {
        const char* file;
        std::string bytes;
        const char* error; // "" when read
    } cases[] = {
        {"dump.sql.gz", gzipped(script), ""},
        {"dump.sql.xz", std::string("\xFD" "7zXZ\0\0\4\xE6\xD6\xB4\x46", 12), ": packed with xz, which wired-host does not"},
        {"dump.zip", std::string("PK\3\4", 4) + std::string(40, '\0'), ": packed with zip"},
        {"names.bin", std::string("Order_Item\nCust\0omer\n", 22), ": binary data (a NUL at byte 15), not table names"},
        // A model given as the tables by mistake.
        {"model.xmi", "\n<?xml version=\"1.0\"?>\n<XMI/>\n", ": an XML document, not table names or an SQL script"},
        {"model.mdj", "{ \"_type\": \"Project\" }", ": a JSON document, not table names"},
        {"model.puml", "' shop\n@startuml\nclass Order_Item\n@enduml\n", ": a PlantUML diagram, not table names"},
        // An SQL script may begin with anything a comment holds.
        {"tagged.sql", "<!-- x -->\nCREATE TABLE Order_Item (id int);\n", ""},
    };
    for (const auto& c : cases) {
        const std::string path = scratchFile(c.file, c.bytes);
        TablesFile tables;
        std::string error;
        const bool read = tables.read(path, error);
        if (*c.error == '\0') {
            ASSERT_TRUE(read) << c.file << ": " << error;
            ASSERT_FALSE(tables.tables().empty()) << c.file;
            EXPECT_EQ(tables.tables()[0].name, "Order_Item") << c.file;
        } else {
            EXPECT_FALSE(read) << c.file;
            EXPECT_EQ(error.compare(0, path.size(), path), 0) << error;
            EXPECT_NE(error.find(c.error), std::string::npos) << c.file << ": " << error;
        }
    }
}

// More tables than any schema, or a file bigger than any schema script,
// is refused with the limit it passed, not read into gigabytes.
TEST(TablesFile, TablesAndBytesHaveLimits)
{
    std::string lines;
    for (std::size_t i = 0; i <= TablesFile::kMaxTables; ++i)
        lines += "t\n";
    const std::string many = scratchFile("many-tables.txt", lines);
    TablesFile tables;
    std::string error;
    EXPECT_FALSE(tables.read(many, error));
    EXPECT_EQ(error, many + ": more than 1000000 tables, more than any schema wired-host reads (wired-host's limit): "
                            "stopped at byte 2000000 of 2000002");
    EXPECT_TRUE(tables.tables().empty());

    // Each different $tag$ costs an entry, wherever it stands (in a dump's
    // data too): a file of nothing else stops at the limit. Any number of
    // the same tag costs one.
    std::string tags = "CREATE TABLE first (x int);\n";
    std::size_t lastTag = 0;
    tags.reserve(8 * SqlScanner::kMaxDollarTags);
    for (std::size_t i = 0; i <= SqlScanner::kMaxDollarTags; ++i) {
        lastTag = tags.size();
        // Tags of four or five letters, each its own.
        tags += '$';
        for (std::size_t n = i; n != 0 || tags.back() == '$'; n /= 52)
            tags += "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"[n % 52];
        tags += "$ ";
    }
    const std::string dollars = scratchFile("many-dollar-tags.sql", tags);
    EXPECT_FALSE(tables.read(dollars, error));
    EXPECT_EQ(error, dollars + ": more than 8000000 different dollar-quote tags ($tag$), more than any script "
                               "wired-host reads (wired-host's limit): stopped at byte " +
                         std::to_string(lastTag) + " of " + std::to_string(tags.size()));
    EXPECT_TRUE(tables.tables().empty());
    std::remove(dollars.c_str());
    std::string same;
    for (std::size_t i = 0; i < 1000000; ++i)
        same += "$$ ";
    EXPECT_EQ(parsed(same + "$t$\nCREATE TABLE last (id int);"), Tables({{"last", true}}));

    // Sparse where the file system allows: nothing of it is read.
    const std::string big = std::string(WIREDHOST_TEST_SCRATCH) + "/big-tables.sql";
    std::FILE* file = std::fopen(big.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fseek(file, static_cast<long>(TablesFile::kMaxBytes), SEEK_SET);
    std::fputc('\n', file);
    std::fclose(file);
    EXPECT_FALSE(tables.read(big, error));
    EXPECT_EQ(error, big + ": 268435457 bytes, more than the 256 MiB wired-host reads of a tables file (give the "
                           "schema alone: CREATE TABLE statements or one name a line)");
    std::remove(big.c_str());
}

TEST(TablesFile, OtherwiseOneNameALine)
{
    const Tables expected = {{"Order_Item", false}, {"Customer Master", false}, {"# not a comment", false}};
    EXPECT_EQ(parsed("Order_Item\r\n  Customer Master \n\n# not a comment\n"), expected);
    // Old Mac line ends.
    EXPECT_EQ(parsed("Order_Item\r  Customer Master \r\r# not a comment\r"), expected);
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
