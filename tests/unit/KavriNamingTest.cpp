#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "KavriNaming.h"

using kavri::KavriNaming;

namespace {

using Codes = kavri::KavriCodes;
const std::size_t kNone = KavriNaming::kNone;

bool noLeadBytes(char) { return false; }

// Each step of the explanation, for the paths through the rule.
struct ExplainCase {
    Codes packages, leaders;
    std::string path, name;
    bool tested;
    std::size_t package, leader;
    std::string withoutLeader;
    std::vector<std::size_t> underscores;
    std::string table;
};

TEST(KavriNamingTest, ExplainsEachStep)
{
    const ExplainCase cases[] = {
        {{}, {}, "any.path", "OrderItem", false, kNone, kNone, "OrderItem", {5}, "Order_Item"},
        {{"hop.model", "model"}, {"T", "TB"}, "com.shop.model", "TBOrderItem", true, 1, 0, "BOrderItem", {6},
         "BOrder_Item"},
        {{"model"}, {"C"}, "com.shopmodel", "COrder", true, kNone, kNone, "", {}, ""},
        {{"model"}, {"Tb"}, "model", "TBOrder", true, 0, kNone, "TBOrder", {}, "TBOrder"},
        {{}, {"C"}, "", "C", false, kNone, 0, "", {}, ""},
        // A '_' of the name itself is no inserted one.
        {{}, {}, "", "a_BcD", false, kNone, kNone, "a_BcD", {4}, "a_Bc_D"},
        {{}, {}, "", "aAaAaA", false, kNone, kNone, "aAaAaA", {1, 4, 7}, "a_Aa_Aa_A"},
    };
    for (const ExplainCase& c : cases) {
        const KavriNaming naming(c.packages, c.leaders, noLeadBytes);
        const KavriNaming::Explanation why = naming.explain(c.path, c.name);
        SCOPED_TRACE(c.path + " " + c.name);
        EXPECT_EQ(c.tested, why.packageTested);
        EXPECT_EQ(c.package, why.packageCode);
        EXPECT_EQ(c.tested && c.package == kNone, why.skipped());
        EXPECT_EQ(c.leader, why.leaderCode);
        EXPECT_EQ(c.withoutLeader, why.withoutLeader);
        EXPECT_EQ(c.underscores, why.underscores);
        EXPECT_EQ(c.table, why.tableName);
    }
}

// Names up to 64 bytes are built inside the table name, longer ones on the
// heap; both must hold the whole result, at its worst a seam every second
// byte, and end with a NUL.
TEST(KavriNamingTest, TableNameHoldsShortAndLongNames)
{
    const Codes none;
    const KavriNaming naming(none, none, noLeadBytes);
    for (const std::size_t length : {0, 1, 63, 64, 65, 200, 5000}) {
        std::string name, expected;
        for (std::size_t i = 0; i < length; ++i) {
            name += i % 2 == 0 ? 'a' : 'B';
            expected += i % 2 == 0 ? "a" : "_B";
        }
        KavriNaming::TableName table;
        naming.derive(name, table);
        EXPECT_EQ(expected.size(), table.size()) << length;
        EXPECT_EQ(expected, std::string(table.c_str())) << length;
        // A second name into the same object replaces the first.
        naming.derive("xY", table);
        EXPECT_STREQ("x_Y", table.c_str()) << length;
    }
}

// ASCII names go eight bytes at a time: seams inside a block, across two
// blocks and in the bytes after the last block; a byte from 0x80 up in a
// later block sends the whole name to the scan that knows double-byte
// characters (GBK 條 is 97 6C).
TEST(KavriNamingTest, SeamsWhereverTheyFallInTheName)
{
    const Codes none;
    const KavriNaming naming(none, none, [](char c) { return c == '\x97'; });
    const std::pair<std::string, std::string> cases[] = {
        {"abcdefgHijklmnoP", "abcdefg_Hijklmno_P"},
        {"abcdefghIjk", "abcdefgh_Ijk"},
        {"ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP"},
        {"abcdefghijklmnopQ", "abcdefghijklmnop_Q"},
        {"zzzzzzzz{AAAAAAA`Z", "zzzzzzzz{AAAAAAA`Z"},
        {"abcdefgh\x97lCodeName", "abcdefgh\x97lCode_Name"},
        {"abcdefghIjklmnop\x97lB", "abcdefgh_Ijklmnop\x97lB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.second, naming.tableNameFor(c.first)) << c.first;
}

} // namespace
