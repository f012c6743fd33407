#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kavri/LogRecords.h"

#include "FakePlatform.h"
#include "KavriProblem.h"
#include "KavriWired.h"
#include "RecordingHost.h"

using kavri::KavriWired;
using kavri_test::FakePlatform;
using kavri_test::LinkCall;
using kavri_test::LogRecord;
using kavri_test::RecordingHost;
using Codes = std::vector<std::string>;
using Warnings = std::vector<std::pair<std::string, std::string>>;

namespace logline = kavri::logline;

namespace {

using kavri::KavriProblem;

// The Chinese caption the plug-in picks for a kind of problem; its bytes are
// checked end to end against the real library.
const std::string chineseFor(KavriProblem::Kind kind)
{
    return KavriProblem(kind).caption(true);
}


// The module path is made up; nothing exists there, so the file is missing
// unless the location rule already refused the path.
struct LocationCase {
    std::string modulePath;
    char separator;
    std::size_t capacity;
    bool truncated;
    std::vector<LogRecord> logs;
    std::vector<std::string> configPath; // what the existence test was asked
    std::size_t firstSeparator = 1;
    std::string leadBytes = "";
};

class ConfigLocationTest : public ::testing::TestWithParam<LocationCase> {};

TEST_P(ConfigLocationTest, FindsConfigBesideTheModule)
{
    const LocationCase& c = GetParam();
    FakePlatform::reset();
    FakePlatform& fake = FakePlatform::instance();
    fake.modulePath = c.modulePath;
    fake.separator = c.separator;
    fake.capacity = c.capacity;
    fake.reportTruncated = c.truncated;
    fake.firstSeparator = c.firstSeparator;
    fake.leadBytes = c.leadBytes;

    RecordingHost host;
    KavriWired wired(&host);

    EXPECT_EQ(c.logs, host.logs);
    EXPECT_EQ(c.configPath, fake.existenceChecks);
    Warnings expected;
    if (!c.configPath.empty())
        expected.emplace_back("File does not exist", c.configPath[0]);
    EXPECT_EQ(expected, fake.warnings);
    EXPECT_EQ(-1, wired.loadConfig());
}

const LogRecord kPathNull{"Module path is null!", "", logline::kConfigSource, logline::kModulePathNull};
const LogRecord kPathError{"Module path is error!", "", logline::kConfigSource, logline::kModulePathError};

INSTANTIATE_TEST_SUITE_P(Paths, ConfigLocationTest,
    ::testing::Values(
        LocationCase{"C:\\Host\\plugins\\conv.dll", '\\', 260, false, {}, {"C:\\Host\\plugins\\config.xml"}},
        LocationCase{"C:\\conv.dll", '\\', 260, false, {}, {"C:\\config.xml"}},
        LocationCase{"/opt/host/libwiredClsTab.so", '/', 4096, false, {}, {"/opt/host/config.xml"}},
        LocationCase{"", '\\', 260, false, {kPathNull}, {}},
        // Only a separator after the first character counts.
        LocationCase{"\\conv.dll", '\\', 260, false, {kPathError}, {}},
        LocationCase{"conv.dll", '\\', 260, false, {kPathError}, {}},
        LocationCase{"C:/Host/conv.dll", '\\', 260, false, {kPathError}, {}},
        // A path the kernel cut off, or one with no room left for config.xml.
        LocationCase{"C:\\Host\\conv.dll", '\\', 260, true, {kPathError}, {}},
        LocationCase{std::string(300, 'a') + "\\conv.dll", '\\', 260, false, {kPathError}, {}},
        LocationCase{"C:\\abcdefghij\\x.dll", '\\', 24, false, {kPathError}, {}},
        LocationCase{"C:\\abcdefghij\\x.dll", '\\', 25, false, {}, {"C:\\abcdefghij\\config.xml"}},
        // Where "/" starts the path it is the root directory.
        LocationCase{"/libwiredClsTab.so", '/', 4096, false, {}, {"/config.xml"}, 0},
        // A double-byte character whose second byte is 0x5C (GBK 淺) is no
        // separator; one with a plain second byte changes nothing.
        LocationCase{"C:\\plugins\\\x9C\\.dll", '\\', 260, false, {}, {"C:\\plugins\\config.xml"}, 1, "\x9C"},
        LocationCase{"C:\\\x9C\\\\conv.dll", '\\', 260, false, {}, {"C:\\\x9C\\\\config.xml"}, 1, "\x9C"}));

// Each test gets its own folder that holds the module and its config.xml.
class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakePlatform::reset();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = ::testing::TempDir() + "wiredClsTab_" + info->name();
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        configPath = dir + "/config.xml";
        FakePlatform::instance().modulePath = dir + "/libwiredClsTab.so";
    }

    void TearDown() override { std::filesystem::remove_all(dir); }

    void write(const std::string& content)
    {
        std::ofstream(configPath, std::ios::binary) << content;
    }

    std::unique_ptr<KavriWired> create()
    {
        return std::make_unique<KavriWired>(&host);
    }

    const Warnings& warnings() { return FakePlatform::instance().warnings; }

    std::string dir, configPath;
    RecordingHost host;
};

struct BadFileCase {
    const char* label;
    const char* content; // null: no file at all
    std::string english;
    std::string chinese; // empty: the caption has one form only
};

TEST_F(ConfigFileTest, ProblemsGoToTheUserInTheHostLanguage)
{
    const BadFileCase cases[] = {
        {"missing", nullptr, "File does not exist", chineseFor(KavriProblem::FileMissing)},
        {"mismatched end tag", "<Wired><Package code='a'></Leader></Wired>", "File format error!", chineseFor(KavriProblem::FormatError)},
        {"foreign root", "<Config/>", "File is not an associated configuration!", chineseFor(KavriProblem::NotConfiguration)},
        {"lower-case root", "<wired/>", "File is not an associated configuration!", chineseFor(KavriProblem::NotConfiguration)},
        {"Wired second", "<Other/><Wired/>", "File is not an associated configuration!", chineseFor(KavriProblem::NotConfiguration)},
        {"no element", "<?xml version='1.0'?><!-- nothing -->", "File is not an associated configuration!",
         chineseFor(KavriProblem::NotConfiguration)},
        {"empty", "", "XMLError:13", ""},
        {"repeated attribute", "<Wired><Package code='a' code='b'/></Wired>", "XMLError:7", ""},
        {"unclosed element", "<Wired><Package code='a'>", "File format error!", chineseFor(KavriProblem::FormatError)},
        {"unclosed comment", "<Wired><!-- never closed", "XMLError:10", ""},
    };
    for (const BadFileCase& c : cases) {
        for (const char* language : {"English", "Chinese", "chinese", ""}) {
            SCOPED_TRACE(std::string(c.label) + " / " + language);
            std::remove(configPath.c_str());
            if (c.content != nullptr)
                write(c.content);
            FakePlatform::instance().warnings.clear();
            host = RecordingHost();
            host.language = language;

            auto wired = create();

            const bool chinese = !c.chinese.empty() && std::string(language) == "Chinese";
            EXPECT_EQ((Warnings{{chinese ? c.chinese : c.english, configPath}}), warnings());
            EXPECT_EQ(c.chinese.empty() ? 0 : 1, host.languageCalls);
            EXPECT_TRUE(host.logs.empty());
            EXPECT_TRUE(wired->packageCodes.empty());
            EXPECT_TRUE(wired->leaderCodes.empty());
            EXPECT_EQ(0, wired->handledCount);
        }
    }
}

TEST_F(ConfigFileTest, DirectoryNamedConfigCannotBeRead)
{
    std::filesystem::create_directory(configPath);
    auto wired = create();
    EXPECT_EQ((Warnings{{"File is not exits!", configPath}}), warnings());
    host.language = "Chinese";
    FakePlatform::instance().warnings.clear();
    create();
    EXPECT_EQ((Warnings{{chineseFor(KavriProblem::NotReadable), configPath}}), warnings());
}

TEST_F(ConfigFileTest, WorkedExample)
{
    write("<?xml version=\"1.0\"?>\n"
          "<Wired>\n"
          "  <Package code=\"PM\"/>\n"
          "  <Leader code=\"T\"/>\n"
          "  <Package code=\"\"/>\n"
          "  <Link table=\"PERSON_INFO\" class=\"Person\"/>\n"
          "  <Package name=\"x\" code=\"QA\"/>\n"
          "  <Link class=\"Order\"/>\n"
          "  <Group><Package code=\"ZZ\"/></Group>\n"
          "  <Package code=\"PM\"/>\n"
          "</Wired>\n");
    auto wired = create();
    EXPECT_EQ((Codes{"PM", "PM"}), wired->packageCodes.strings());
    EXPECT_EQ((Codes{"T"}), wired->leaderCodes.strings());
    EXPECT_EQ((std::vector<LinkCall>{{"Person", "PERSON_INFO"}}), host.links);
    EXPECT_EQ((std::vector<LogRecord>{{"Wired is set.", "Person", logline::kConfigSource, logline::kLinkSet}}), host.logs);
    EXPECT_TRUE(warnings().empty());
}

struct EntryCase {
    const char* label;
    const char* entries;
    Codes packages, leaders;
    std::vector<LinkCall> links;
};

TEST_F(ConfigFileTest, EntryRules)
{
    const EntryCase cases[] = {
        {"no children", "", {}, {}, {}},
        {"text and comments only", "text <!-- c --> more", {}, {}, {}},
        {"empty code", "<Package code=''/><Leader code=''/>", {}, {}, {}},
        {"no attribute", "<Package/><Leader/>", {}, {}, {}},
        {"capital Code", "<Package Code='a'/><Leader Code='b'/>", {}, {}, {}},
        {"code not first", "<Package name='n' code='a'/>", {}, {}, {}},
        {"extra attributes after code", "<Leader code='T' note='x'/>", {}, {"T"}, {}},
        {"duplicates kept in order", "<Package code='b'/><Package code='a'/><Package code='b'/>",
         {"b", "a", "b"}, {}, {}},
        {"entity decoded", "<Package code='a&amp;b'/><Leader code='&#x41;'/>", {"a&b"}, {"A"}, {}},
        {"spaces kept", "<Leader code=' T '/>", {}, {" T "}, {}},
        {"element names are case-sensitive", "<package code='a'/><LEADER code='b'/><link class='c' table='d'/>",
         {}, {}, {}},
        {"link table first", "<Link table='T1' class='C1'/>", {}, {}, {{"C1", "T1"}}},
        {"link among other attributes", "<Link a='1' class='C' b='2' table='T'/>", {}, {}, {{"C", "T"}}},
        {"link without table", "<Link class='C'/>", {}, {}, {}},
        {"link without class", "<Link table='T'/>", {}, {}, {}},
        {"link with empty values", "<Link class='' table=''/>", {}, {}, {{"", ""}}},
        {"nested entries ignored", "<Group><Package code='Z'/><Link class='a' table='b'/></Group>", {}, {}, {}},
        {"root attributes ignored", "", {}, {}, {}},
    };
    for (const EntryCase& c : cases) {
        SCOPED_TRACE(c.label);
        write(std::string("<Wired code='x'>") + c.entries + "</Wired>");
        host = RecordingHost();
        auto wired = create();
        EXPECT_EQ(c.packages, wired->packageCodes.strings());
        EXPECT_EQ(c.leaders, wired->leaderCodes.strings());
        EXPECT_EQ(c.links, host.links);
        EXPECT_TRUE(warnings().empty());
        EXPECT_EQ(0, host.languageCalls);
    }
}

TEST_F(ConfigFileTest, LinkAnswersAreLogged)
{
    write("<Wired><Link class='Person' table='PERSON_INFO'/></Wired>");
    struct Case {
        int answer;
        std::vector<LogRecord> logs;
    };
    const Case cases[] = {
        {1, {{"Wired is set.", "Person", logline::kConfigSource, logline::kLinkSet}}},
        {2, {{"Wired is set.", "Person", logline::kConfigSource, logline::kLinkSet}}},
        {0, {}},
        {-1, {{"Person", "PERSON_INFO", logline::kConfigSource, logline::kLinkFailed}}},
        {-7, {{"Person", "PERSON_INFO", logline::kConfigSource, logline::kLinkFailed}}},
    };
    for (const Case& c : cases) {
        host = RecordingHost();
        host.linkAnswer = c.answer;
        create();
        EXPECT_EQ(c.logs, host.logs) << c.answer;
    }
}

TEST_F(ConfigFileTest, LinksAreRegisteredWhenMetAndAgainForEveryConverter)
{
    write("<Wired><Link class='A' table='TA'/><Package code='p'/><Link class='B' table='TB'/></Wired>");
    auto first = create();
    auto second = create();
    EXPECT_EQ((std::vector<LinkCall>{{"A", "TA"}, {"B", "TB"}, {"A", "TA"}, {"B", "TB"}}), host.links);
    EXPECT_NE(first.get(), second.get());
}

TEST_F(ConfigFileTest, HostExceptionsLeaveTheConstructor)
{
    struct Case {
        const char* content;
        const char* operation;
    };
    const Case cases[] = {
        {"<Other/>", "getLanguage"},
        {"<Wired><Link class='a' table='b'/></Wired>", "registerLink"},
        {"<Wired><Link class='a' table='b'/></Wired>", "log"},
    };
    for (const Case& c : cases) {
        write(c.content);
        host = RecordingHost();
        host.beforeCall = [&](const char* op) {
            if (std::string(op) == c.operation)
                throw std::runtime_error(op);
        };
        try {
            create();
            ADD_FAILURE() << "no exception from " << c.operation;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(c.operation, e.what());
        }
    }
    // Module path problems reach the log, so the log's exception leaves too.
    FakePlatform::instance().modulePath = "";
    host.beforeCall = [](const char*) { throw 42; };
    EXPECT_THROW(create(), int);
}

} // namespace
