#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#ifndef _WIN32
// Only the pipe case uses it; Microsoft's <future> also needs the
// Concurrency Runtime's ppltasks.h, which the MSVC-ABI cross build lacks.
#include <future>

#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include "FakeNode.h"
#include "PluginCopy.h"
#include "RecordingHost.h"

using hostkit::PluginInstance;
using kavri_test::PluginCopy;
using kavri_test::FakeNode;
using kavri_test::LinkCall;
using kavri_test::LogRecord;
using kavri_test::RecordingHost;
using Texts = std::vector<std::string>;

namespace {

const std::size_t kMiB = 1024 * 1024;

// "aBaB...": a seam at every second byte, the worst case for insertion.
std::string alternating(std::size_t size)
{
    std::string text;
    text.reserve(size);
    while (text.size() < size)
        text += text.size() % 2 == 0 ? 'a' : 'B';
    return text;
}

std::string withSeams(const std::string& name)
{
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (i > 0 && name[i] >= 'A' && name[i] <= 'Z' && name[i - 1] >= 'a' && name[i - 1] <= 'z')
            out += '_';
        out += name[i];
    }
    return out;
}

// The table names that one conversion of a class node sets.
Texts tablesFor(kavri::IConvert* converter, const std::string& name, const std::string& package)
{
    FakeNode model("model", "", 1);
    FakeNode classNode(name, package);
    model.children = {&classNode};
    converter->reset();
    converter->convert(&model);
    return classNode.tablesSet;
}

using Warnings = std::vector<hostkit::Warning>;

// Creates a converter for the configuration and returns the warnings the
// plug-in showed meanwhile.
Warnings createCapturingWarning(const PluginCopy& plugin, RecordingHost& host, kavri::IConvert** converter)
{
    hostkit::Creation created = plugin.create(host);
    *converter = created.converter;
    return created.warnings;
}

TEST(HostileInput, AMebibyteClassNameGetsEveryUnderscore)
{
    PluginCopy plugin("<Wired><Leader code=\"aB\"/></Wired>");
    RecordingHost host;
    kavri::IConvert* converter = plugin.create(host).converter;
    const std::string name = alternating(kMiB);

    const Texts tables = tablesFor(converter, name, "any.package");

    ASSERT_EQ(1u, tables.size());
    const std::string expected = withSeams(name.substr(2));
    EXPECT_EQ((kMiB - 2) * 3 / 2, expected.size());
    EXPECT_TRUE(tables[0] == expected) << "table name of " << tables[0].size() << " bytes differs";
    ASSERT_EQ(1u, host.logs.size());
    EXPECT_TRUE(host.logs[0].detail == expected);
}

// Short names and long ones take different paths to their table name; the
// lengths around the switch, with a seam at every second byte and at the end.
TEST(HostileInput, NamesAroundTheShortNameLengthGetEveryUnderscore)
{
    PluginCopy plugin("<Wired><Leader code=\"Tb\"/></Wired>");
    RecordingHost host;
    kavri::IConvert* converter = plugin.create(host).converter;
    for (std::size_t length = 60; length <= 70; ++length) {
        for (const std::string& name : {alternating(length), "x" + alternating(length - 1),
                                        "Tb" + alternating(length - 2), std::string(length - 1, 'z') + "Q"}) {
            const std::string expected = withSeams(name.compare(0, 2, "Tb") == 0 ? name.substr(2) : name);
            EXPECT_EQ(Texts{expected}, tablesFor(converter, name, "")) << name;
        }
    }
}

TEST(HostileInput, MebibyteAttributeValuesAreStoredWhole)
{
    const std::string packageCode(kMiB, 'p');
    const std::string leaderCode(kMiB, 'L');
    const std::string className(kMiB, 'C');
    PluginCopy plugin("<Wired><Package code=\"" + packageCode + "\"/><Leader code=\"" + leaderCode +
                        "\"/><Link class=\"" + className + "\" table=\"T\"/></Wired>");
    RecordingHost host;
    kavri::IConvert* converter = plugin.create(host).converter;

    ASSERT_EQ(1u, host.links.size());
    EXPECT_TRUE(host.links[0] == (LinkCall{className, "T"}));
    EXPECT_EQ(Texts{"Order_Item"}, tablesFor(converter, leaderCode + "OrderItem", "com." + packageCode));
    // One byte short of the code is not the code.
    EXPECT_EQ(Texts{}, tablesFor(converter, "OrderItem", "com." + packageCode.substr(1)));
}

TEST(HostileInput, AHundredThousandEntriesAreAllRead)
{
    std::string xml = "<Wired>\n";
    for (int i = 0; i < 100000; ++i) {
        if (i % 2 == 0)
            xml += "<Link class=\"C" + std::to_string(i) + "\" table=\"T" + std::to_string(i) + "\"/>\n";
        else
            xml += "<Leader code=\"Q" + std::to_string(i) + "\"/>\n";
    }
    // The one leader that matches comes last, after 49,999 that do not.
    xml += "<Leader code=\"TB\"/>\n</Wired>\n";
    PluginCopy plugin(xml);
    RecordingHost host;
    kavri::IConvert* converter = plugin.create(host).converter;

    ASSERT_EQ(50000u, host.links.size());
    EXPECT_EQ((LinkCall{"C99998", "T99998"}), host.links.back());
    EXPECT_EQ(50000u, host.logs.size());
    EXPECT_EQ(Texts{"Order_Item"}, tablesFor(converter, "TBOrderItem", "x"));
}

std::string nested(int depth, const std::string& inner)
{
    std::string open, close;
    for (int i = 0; i < depth; ++i) {
        open += "<g>";
        close += "</g>";
    }
    return open + inner + close;
}

TEST(HostileInput, NestingBeyondTheParsersLimitIsAnXmlError)
{
    PluginCopy plugin("<Wired><Link class=\"A\" table=\"B\"/>" + nested(10000, "") + "</Wired>");
    RecordingHost host;
    kavri::IConvert* converter = nullptr;
    const Warnings warnings = createCapturingWarning(plugin, host, &converter);

    EXPECT_EQ((Warnings{{"XMLError:18", plugin.configPath()}}), warnings);
    EXPECT_EQ(0, host.languageCalls);
    EXPECT_TRUE(host.links.empty());
    // Nothing was read: no leader removed, every package accepted.
    EXPECT_EQ(Texts{"TBOrder_Item"}, tablesFor(converter, "TBOrderItem", ""));
}

TEST(HostileInput, NestingWithinTheLimitIsIgnoredBelowTheEntries)
{
    PluginCopy plugin("<Wired>" + nested(90, "<Leader code=\"X\"/>") + "<Leader code=\"TB\"/></Wired>");
    RecordingHost host;
    kavri::IConvert* converter = nullptr;
    EXPECT_EQ(Warnings{}, createCapturingWarning(plugin, host, &converter));
    EXPECT_EQ(Texts{"XOrder_Item"}, tablesFor(converter, "TBXOrderItem", ""));
}

// Invalid bytes and NULs in the file: the outcome is what tinyxml2 makes of
// them, reported like any other load error; bytes it accepts are kept as they are.
struct BytesCase {
    const char* what;
    std::string xml;
    std::string warning; // caption, or empty when the file is read
    std::vector<LinkCall> links; // registered when the file is read
};

class HostileBytesTest : public testing::TestWithParam<BytesCase> {};

TEST_P(HostileBytesTest, GivesTheDocumentedOutcome)
{
    const BytesCase& c = GetParam();
    PluginCopy plugin(c.xml);
    RecordingHost host;
    kavri::IConvert* converter = nullptr;
    const Warnings warnings = createCapturingWarning(plugin, host, &converter);
    if (c.warning.empty()) {
        EXPECT_EQ(Warnings{}, warnings);
        EXPECT_EQ(c.links, host.links);
    } else {
        EXPECT_EQ((Warnings{{c.warning, plugin.configPath()}}), warnings);
        EXPECT_TRUE(host.links.empty());
    }
    // The converter works whatever the file held.
    EXPECT_EQ(1u, tablesFor(converter, "OrderItem", "").size());
}

INSTANTIATE_TEST_SUITE_P(Files, HostileBytesTest, testing::Values(
    BytesCase{"NUL between entries ends the text early", std::string("<Wired><Link class=\"A\" table=\"B\"/>") + '\0' + "</Wired>", "XMLError:15", {}},
    BytesCase{"NUL first", std::string(1, '\0') + "<Wired/>", "XMLError:13", {}},
    BytesCase{"NUL inside a value", std::string("<Wired><Link class=\"A") + '\0' + "\" table=\"B\"/></Wired>", "XMLError:7", {}},
    BytesCase{"NUL after the root", std::string("<Wired><Link class=\"A\" table=\"B\"/></Wired>") + '\0' + "junk<", "", {{"A", "B"}}},
    BytesCase{"bytes above 0x7F kept as they are", "<Wired><\xFF\xFE/><Link class=\"\xB6\xA9\xFF\" table=\"\x80\x81\"/></Wired>", "", {{"\xB6\xA9\xFF", "\x80\x81"}}},
    BytesCase{"control bytes kept", "<Wired><Link class=\"\x01\x02\x1F\" table=\"\x7F\"/></Wired>", "", {{"\x01\x02\x1F", "\x7F"}}},
    BytesCase{"a character reference to NUL ends the value", "<Wired><Link class=\"A&#0;B\" table=\"T\"/></Wired>", "", {{"A", "T"}}},
    BytesCase{"a surrogate reference is copied as bytes", "<Wired><Link class=\"&#xD800;\" table=\"T\"/></Wired>", "", {{"\xED\xA0\x80", "T"}}},
    BytesCase{"an unknown entity stays as written", "<Wired><Link class=\"&bogus;\" table=\"T\"/></Wired>", "", {{"&bogus;", "T"}}},
    BytesCase{"half a byte-order mark is text before the root", "\xEF\xBB<Wired><Link class=\"A\" table=\"B\"/></Wired>", "", {{"A", "B"}}}),
    [](const testing::TestParamInfo<BytesCase>& info) { return "case" + std::to_string(info.index); });

TEST(HostileInput, ANulInAClassNameEndsTheTextTheHostSees)
{
    PluginCopy plugin("<Wired/>");
    RecordingHost host;
    kavri::IConvert* converter = plugin.create(host).converter;
    EXPECT_EQ(Texts{"Order"}, tablesFor(converter, std::string("Order\0Item", 10), ""));
    // Bytes above 0x7F are no letters: no seam before or after them.
    EXPECT_EQ(Texts{"\xB6\xA9Order\xC0X"}, tablesFor(converter, "\xB6\xA9Order\xC0X", ""));
}

} // namespace

// Windows keeps no pipe in a folder, so this case is Linux's alone.
#ifndef _WIN32
namespace {

// A pipe named config.xml is no configuration. Reading it would wait for a
// writer for ever; the plug-in must say it cannot read it and go on.
TEST(HostileInput, APipeNamedConfigIsUnreadableAndNeverWaitedFor)
{
    PluginCopy plugin("<Wired/>");
    plugin.removeConfig();
    ASSERT_EQ(0, mkfifo(plugin.configPath().c_str(), 0600));
    RecordingHost host;
    auto creating = std::async(std::launch::async, [&] { return plugin.create(host); });
    if (creating.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        // Let the stuck call go so the test can report instead of hanging.
        std::ofstream(plugin.configPath()) << "";
        FAIL() << "registConvert waited on the pipe";
    }
    const hostkit::Creation created = creating.get();
    EXPECT_EQ((Warnings{{"File is not exits!", plugin.configPath()}}), created.warnings);
    EXPECT_NE(nullptr, created.converter);
}

} // namespace
#endif
