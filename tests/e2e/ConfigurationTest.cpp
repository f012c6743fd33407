// config.xml beside the loaded plug-in: warnings shown to the user, entries
// read, links registered with the host.
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kavri/LogRecords.h"

#include "ChineseCaptions.h"
#include "FakeNode.h"
#include "HostTest.h"
#include "Model.h"

using kavri_test::FakeNode;
using kavri_test::LinkCall;
using kavri_test::LogRecord;
using kavri_test::RecordingHost;
using Calls = std::vector<std::string>;

namespace e2e {
namespace logline = kavri::logline;

namespace {


// Entries that would change what the converter does, had they been read.
const char kEntries[] = "<Package code=\"PM\"/><Leader code=\"T\"/><Link class=\"Person\" table=\"PERSON_INFO\"/>";

enum class Setup { Missing, Directory, File };

struct FailureCase {
    const char* what;
    Setup setup;
    std::string content;
    std::string english;
    std::string chinese;
    bool asksLanguage;
};

std::ostream& operator<<(std::ostream& os, const FailureCase& c)
{
    return os << c.what;
}

class ConfigFailureTest : public HostTest, public ::testing::WithParamInterface<FailureCase> {
protected:
    void prepare(const FailureCase& c)
    {
        switch (c.setup) {
        case Setup::Missing:
            plugin.removeConfig();
            break;
        case Setup::Directory:
            plugin.makeConfigDirectory();
            break;
        case Setup::File:
            plugin.writeConfig(c.content);
            break;
        }
    }

    // With no entries read, a class in any package passes and no leader is
    // removed.
    static void expectEmptyCodeLists(kavri::IConvert* converter)
    {
        FakeNode node("TOrderItem", "x.QA");
        Model model{&node};
        EXPECT_EQ(0, converter->convert(&model));
        EXPECT_EQ((Calls{"getKind", "getName", "setTable"}), node.calls);
        EXPECT_EQ(Calls{"TOrder_Item"}, node.tablesSet);
    }
};

TEST_P(ConfigFailureTest, WarnsInTheHostLanguageAndStillGivesAConverter)
{
    const FailureCase& c = GetParam();
    struct Language {
        std::string setting;
        bool chinese;
    };
    const Language languages[] = {{"English", false}, {"Chinese", true}, {"chinese", false},
                                  {"CHINESE", false}, {"Chinese ", false}, {"", false}};
    for (const Language& language : languages) {
        SCOPED_TRACE("host language \"" + language.setting + "\"");
        prepare(c);
        RecordingHost languageHost;
        languageHost.language = language.setting;

        Creation created = plugin.create(languageHost);

        const std::string& caption = language.chinese ? c.chinese : c.english;
        EXPECT_EQ((Warnings{{caption, plugin.configPath()}}), created.warnings);
        EXPECT_EQ(c.asksLanguage ? 1 : 0, languageHost.languageCalls);
        EXPECT_TRUE(languageHost.logs.empty());
        EXPECT_TRUE(languageHost.links.empty());
        ASSERT_NE(nullptr, created.converter);
        expectEmptyCodeLists(created.converter);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, ConfigFailureTest,
    ::testing::Values(
        FailureCase{"missing file", Setup::Missing, "",
                    "File does not exist", ChineseCaptions::fileMissing, true},
        FailureCase{"directory named config.xml", Setup::Directory, "",
                    "File is not exits!", ChineseCaptions::notReadable, true},
        FailureCase{"empty file", Setup::File, "",
                    "XMLError:13", "XMLError:13", false},
        FailureCase{"repeated attribute", Setup::File,
                    "<Wired><Package code=\"PM\" code=\"QA\"/><Leader code=\"T\"/></Wired>",
                    "XMLError:7", "XMLError:7", false},
        FailureCase{"mismatched end tag", Setup::File,
                    "<Wired><Package code=\"PM\"/><Leader code=\"T\"></Wired>",
                    "File format error!", ChineseCaptions::formatError, true},
        FailureCase{"foreign root", Setup::File, std::string("<Config>") + kEntries + "</Config>",
                    "File is not an associated configuration!", ChineseCaptions::notConfiguration, true},
        FailureCase{"lower-case root", Setup::File, std::string("<wired>") + kEntries + "</wired>",
                    "File is not an associated configuration!", ChineseCaptions::notConfiguration, true},
        FailureCase{"Wired after another element", Setup::File,
                    std::string("<Other/><Wired>") + kEntries + "</Wired>",
                    "File is not an associated configuration!", ChineseCaptions::notConfiguration, true},
        FailureCase{"declaration and comment only", Setup::File,
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- <Wired><Leader code=\"T\"/></Wired> -->\n",
                    "File is not an associated configuration!", ChineseCaptions::notConfiguration, true}));

class ConfigDocumentTest : public HostTest {};

TEST_F(ConfigDocumentTest, WorkedExample)
{
    kavri::IConvert* converter = converterFor(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<Wired>\n"
        "  <Package code=\"PM\"/>\n"
        "  <Leader code=\"T\"/>\n"
        "  <Package code=\"\"/>\n"
        "  <Link table=\"PERSON_INFO\" class=\"Person\"/>\n"
        "  <Package name=\"quality\" code=\"QA\"/>\n"
        "  <Link class=\"Order\"/>\n"
        "  <Group><Package code=\"ZZ\"/></Group>\n"
        "  <Package code=\"PM\"/>\n"
        "</Wired>\n");
    EXPECT_EQ(std::vector<LinkCall>({{"Person", "PERSON_INFO"}}), host.links);
    EXPECT_EQ(std::vector<LogRecord>({{"Wired is set.", "Person", logline::kConfigSource, logline::kLinkSet}}), host.logs);
    EXPECT_EQ(0, host.languageCalls);
    host.logs.clear();

    // PM is a package code and T a leader code.
    FakeNode person("TPerson", "x.PM");
    Model model{&person};
    EXPECT_EQ(0, converter->convert(&model));
    EXPECT_EQ(Calls{"Person"}, person.tablesSet);
    EXPECT_EQ(std::vector<LogRecord>({{"Table is set.", "Person", logline::kWiredSource, logline::kTableSet}}), host.logs);

    // QA (behind another attribute) and ZZ (nested) are not package codes.
    for (const char* package : {"x.QA", "y.ZZ", "x.pm"}) {
        host.logs.clear();
        EXPECT_EQ(0, converter->reset());
        FakeNode skipped("TPerson", package);
        FakeNode later("TOrder", "x.PM");
        Model other{&skipped, &later};
        EXPECT_EQ(0, converter->convert(&other));
        EXPECT_EQ((Calls{"getKind", "getPackage"}), skipped.calls) << package;
        EXPECT_EQ(Calls{}, later.calls) << package;
        EXPECT_TRUE(host.logs.empty()) << package;
    }
}

struct LinkAnswerCase {
    int answer;
    std::vector<LogRecord> expected;
};

TEST_F(ConfigDocumentTest, LinkAnswerDecidesTheLogRecord)
{
    const LinkAnswerCase cases[] = {
        {1, {{"Wired is set.", "Person", logline::kConfigSource, logline::kLinkSet}}},
        {2, {{"Wired is set.", "Person", logline::kConfigSource, logline::kLinkSet}}},
        {-1, {{"Person", "PERSON_INFO", logline::kConfigSource, logline::kLinkFailed}}},
        {0, {}},
    };
    plugin.writeConfig("<Wired><Link class=\"Person\" table=\"PERSON_INFO\"/></Wired>");
    for (const LinkAnswerCase& c : cases) {
        RecordingHost linkHost;
        linkHost.linkAnswer = c.answer;
        Creation created = plugin.create(linkHost);
        EXPECT_NE(nullptr, created.converter);
        EXPECT_EQ(Warnings{}, created.warnings);
        EXPECT_EQ(std::vector<LinkCall>({{"Person", "PERSON_INFO"}}), linkHost.links) << c.answer;
        EXPECT_EQ(c.expected, linkHost.logs) << "registerLink answered " << c.answer;
    }
}

struct LinkEntryCase {
    std::string entries;
    std::vector<LinkCall> expected;
};

TEST_F(ConfigDocumentTest, LinksAreRegisteredInDocumentOrder)
{
    const LinkEntryCase cases[] = {
        {"<Link table=\"T\" class=\"C\" note=\"x\"/>", {{"C", "T"}}},
        {"<Link class=\"\" table=\"T\"/>", {{"", "T"}}},
        {"<Link class=\"C\"/><Link table=\"T\"/><link class=\"C\" table=\"T\"/>", {}},
        {"<Link class=\"A\" table=\"1\"/><Leader code=\"T\"/><Link class=\"B\" table=\"2\"/>", {{"A", "1"}, {"B", "2"}}},
        {"<Link class=\"A\" table=\"1\"><Link class=\"B\" table=\"2\"/></Link>", {{"A", "1"}}},
        {"<Link class=\"R&amp;D\" table=\"&lt;T&gt;\"/>", {{"R&D", "<T>"}}},
    };
    for (const LinkEntryCase& c : cases) {
        RecordingHost linkHost;
        plugin.writeConfig("<Wired>" + c.entries + "</Wired>");
        EXPECT_NE(nullptr, plugin.create(linkHost).converter);
        EXPECT_EQ(c.expected, linkHost.links) << c.entries;
    }
}

TEST_F(ConfigDocumentTest, EntityReferencesInCodesAreDecoded)
{
    kavri::IConvert* converter =
        converterFor("<Wired><Package code=\"R&amp;D\"/><Leader code=\"A&amp;\"/></Wired>");
    FakeNode node("A&OrderItem", "com.R&D");
    Model model{&node};
    EXPECT_EQ(0, converter->convert(&model));
    EXPECT_EQ(Calls{"Order_Item"}, node.tablesSet);
}

TEST_F(ConfigDocumentTest, CodesAreTakenAsWritten)
{
    // Not trimmed, and only a first attribute named exactly "code" counts.
    kavri::IConvert* converter = converterFor(
        "<Wired><Leader code=\" T\"/><Leader Code=\"O\"/><Leader/><Leader name=\"x\" code=\"Or\"/></Wired>");
    FakeNode node("TOrderItem", "any");
    Model model{&node};
    EXPECT_EQ(0, converter->convert(&model));
    EXPECT_EQ(Calls{"TOrder_Item"}, node.tablesSet);
}

} // namespace
} // namespace e2e
