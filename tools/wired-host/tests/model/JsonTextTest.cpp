// JSON strings: quotes, backslashes and control characters escaped wherever
// they fall against the eight-byte blocks the scan takes; the rest, UTF-8
// included, as it is.
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "JsonText.h"

namespace wiredhost {
namespace {

TEST(JsonText, EscapesWhateverTheBlocks)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "\"\""},
        {"Order_Item", "\"Order_Item\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"1234567\"", "\"1234567\\\"\""},
        {"12345678\"", "\"12345678\\\"\""},
        {"12345678\\abcdefgh", "\"12345678\\\\abcdefgh\""},
        {"abcdefghijklmno\x1F", "\"abcdefghijklmno\\u001f\""},
        {std::string("abcdefgh\0ijklmnop", 17), "\"abcdefgh\\u0000ijklmnop\""},
        {"\ttab and\nnewline after eight", "\"\\u0009tab and\\u000anewline after eight\""},
        {"Caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87 and more text", "\"Caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87 and more text\""},
        {"\x7F is not escaped, nor is \xC2\x85", "\"\x7F is not escaped, nor is \xC2\x85\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(jsonString(c.first), c.second) << testing::PrintToString(c.first);
        std::string appended = "x";
        appendJsonString(appended, c.first);
        EXPECT_EQ(appended, "x" + c.second) << testing::PrintToString(c.first);
    }
}

} // namespace
} // namespace wiredhost
