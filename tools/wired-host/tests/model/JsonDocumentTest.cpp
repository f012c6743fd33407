// Model files' JSON: what a strict parser would refuse is read as U+FFFD,
// members keep their order, nesting is bounded.
#include <string>

#include <gtest/gtest.h>

#include "model/JsonDocument.h"

namespace wiredhost {
namespace {

std::string nameIn(const std::string& json)
{
    JsonDocument::Value document;
    std::string error;
    EXPECT_TRUE(JsonDocument::parse("{\"name\": \"" + json + "\"}", document, error)) << json << ": " << error;
    return JsonDocument::string(document, "name");
}

TEST(JsonDocument, LoneSurrogatesAndBadBytesBecomeReplacementCharacters)
{
    const std::string r = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "plain"},
        {"\\ud83d\\ude00", "\xF0\x9F\x98\x80"},         // a pair is one character
        {"\\ud800\\u0041", r + "A"},                    // what follows stays
        {"\\uD800\\uD800\\uDC00", r + "\xF0\x90\x80\x80"},
        {"\\udc00x", r + "x"},
        {"a\\ud800", "a" + r},
        {"\\\\ud800", "\\ud800"},                       // an escaped backslash, no escape
        {"Caf\xE9", "Caf" + r},
        {"\xED\xA0\x80", r + r + r},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nameIn(c.first), c.second) << c.first;
    EXPECT_FALSE(JsonDocument::needsRepair("{\"a\": \"\\u00e9 \\ud83d\\ude00\"}"));
}

TEST(JsonDocument, MembersKeepTheirOrderAndErrorsTheirLine)
{
    JsonDocument::Value document;
    std::string error;
    ASSERT_TRUE(JsonDocument::parse("\xEF\xBB\xBF{\"z\": 1, \"a\": 2, \"m\": 3}", document, error)) << error;
    std::string keys;
    for (const auto& member : document.items())
        keys += member.key();
    EXPECT_EQ(keys, "zam");

    EXPECT_FALSE(JsonDocument::parse("{\"a\": 1,\n \"b\": [}", document, error));
    EXPECT_EQ(error.compare(0, 8, "line 2: "), 0) << error;

    // A number no double holds is an error like any other, its text cut.
    EXPECT_FALSE(JsonDocument::parse("{\"a\":\n " + std::string(100000, '9') + "}", document, error));
    EXPECT_EQ(error.compare(0, 32, "line 2: number overflow parsing "), 0) << error.substr(0, 100);
    EXPECT_LT(error.size(), 200u);
    EXPECT_FALSE(JsonDocument::parse("{\"a\": -1e400}", document, error));
    EXPECT_EQ(error, "line 1: number overflow parsing '-1e400'");
}

TEST(JsonDocument, NestingIsBounded)
{
    const int depth = JsonDocument::kMaxDepth;
    JsonDocument::Value document;
    std::string error;
    EXPECT_TRUE(JsonDocument::parse(std::string(depth, '[') + std::string(depth, ']'), document, error)) << error;
    EXPECT_FALSE(JsonDocument::parse(std::string(depth + 1, '[') + std::string(depth + 1, ']'), document, error));
    EXPECT_NE(error.find("nested deeper than"), std::string::npos) << error;
    // A million levels are refused without exhausting the stack.
    EXPECT_FALSE(JsonDocument::parse(std::string(1000000, '['), document, error));
}

// Each member is compared with all before it as it is added: an object's
// members are bounded, however many objects there are.
TEST(JsonDocument, MembersOfAnObjectAreBounded)
{
    const auto object = [](std::size_t members) {
        std::string text = "{";
        for (std::size_t i = 0; i < members; ++i)
            text += (i == 0 ? "\"k" : ", \"k") + std::to_string(i) + "\": [{}]";
        return text + "}";
    };
    const std::size_t most = JsonDocument::kMaxMembers;
    JsonDocument::Value document;
    std::string error;
    EXPECT_TRUE(JsonDocument::parse("[" + object(most) + ", " + object(most) + "]", document, error)) << error;
    EXPECT_EQ(document[1].size(), most);
    EXPECT_FALSE(JsonDocument::parse("[" + object(most) + ", {\"a\": " + object(most + 1) + "}]", document, error));
    EXPECT_NE(error.find("an object with more than 1000 members"), std::string::npos) << error;
    // Each object within the limit, but their pairs add up over the
    // document (at a lower limit: 4,900 objects of 1,000 members took 12 s).
    const std::string pairs = "[" + object(most) + ", " + object(most) + ", ";
    EXPECT_TRUE(JsonDocument::parse(pairs + "0]", document, error, JsonDocument::kMaxValues, 1000000)) << error;
    EXPECT_FALSE(JsonDocument::parse(pairs + object(most) + "]", document, error, JsonDocument::kMaxValues, 1000000));
    EXPECT_EQ(error, "objects with so many members that the JSON reader would compare more than 1000000 pairs of "
                     "their names (it checks each member's name against all before it in its object, a long name as "
                     "several; wired-host's limit)");
    // A long name counts as several: 40 bytes as three.
    std::string longNames = "{";
    for (std::size_t i = 0; i < most; ++i)
        longNames += std::string(i ? ", " : "") + "\"" + std::string(37, 'k') + std::to_string(100 + i) + "\": 0";
    EXPECT_TRUE(JsonDocument::parse(longNames + "}", document, error, JsonDocument::kMaxValues, 1498500)) << error;
    EXPECT_FALSE(JsonDocument::parse(longNames + "}", document, error, JsonDocument::kMaxValues, 1498499));
}

// Every value counts, scalars as much as arrays and objects: "{}" and "0"
// each cost the document some 70 bytes.
TEST(JsonDocument, ValuesOfADocumentAreBounded)
{
    // At a lower limit: five million values take seconds under a sanitizer.
    const std::size_t most = 1000;
    std::string text = "[";
    for (std::size_t i = 2; i < most; ++i)
        text += i % 3 == 0 ? "{}," : i % 3 == 1 ? "0," : "\"\",";
    JsonDocument::Value document;
    std::string error;
    EXPECT_TRUE(JsonDocument::parse(text + "null]", document, error, most)) << error;
    EXPECT_EQ(document.size(), most - 1);
    EXPECT_FALSE(JsonDocument::parse(text + "null, []]", document, error, most));
    EXPECT_EQ(error, "more than 1000 values (wired-host's limit: each costs the JSON reader memory, however short)");
}

} // namespace
} // namespace wiredhost
