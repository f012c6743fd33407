// The real plug-in under a double-byte ANSI code page (Chinese 936, Japanese
// 932; Wine takes it from the locale): plug-in folders and file names with
// characters that the code page spells in two bytes, or cannot spell at all,
// and class names whose double-byte characters end in a byte that looks like
// a lower-case letter.
//
// usage: codepage_tests [gtest options] CODE_PAGE PLUGIN_LIBRARY
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <windows.h>

#include <gtest/gtest.h>

#include "kavri/LogRecords.h"

#include "ChineseCaptions.h"
#include "FakeNode.h"
#include "Files.h"
#include "Library.h"
#include "Model.h"
#include "PluginInstance.h"
#include "RecordingHost.h"
#include "WarningCapture.h"

using kavri_test::FakeNode;
using kavri_test::LinkCall;
using kavri_test::LogRecord;
using kavri_test::RecordingHost;
using Warnings = std::vector<hostkit::Warning>;

namespace {

// The built plug-in as given on the command line.
std::string pluginLibrary;

std::wstring fromCodePage(const std::string& text, UINT codePage)
{
    const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (length > 0)
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string toCodePage(const std::wstring& text, UINT codePage)
{
    const int length =
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    if (length > 0)
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &bytes[0], length, nullptr, nullptr);
    return bytes;
}

// A folder of its own under a temporary folder, holding a copy of the
// plug-in by the given file name. Made, written and loaded with the wide
// calls, so that names the ANSI code page cannot spell work too.
class PluginFolder {
public:
    PluginFolder(const std::wstring& base, const std::wstring& folder, const std::wstring& library)
        : folder_(base + L"\\" + folder), library_(folder_ + L"\\" + library), config_(folder_ + L"\\config.xml")
    {
        if (!CreateDirectoryW(folder_.c_str(), nullptr))
            throw std::runtime_error("cannot make the plug-in folder " + toCodePage(folder_, CP_UTF8));
        const std::wstring source = fromCodePage(hostkit::files::absolute(pluginLibrary), CP_ACP);
        if (!CopyFileW(source.c_str(), library_.c_str(), TRUE))
            throw std::runtime_error("cannot copy the plug-in to " + toCodePage(library_, CP_UTF8));
        HMODULE module = LoadLibraryW(library_.c_str());
        std::string error;
        if (module == nullptr || !loaded_.adopt(module, error))
            throw std::runtime_error("cannot load " + toCodePage(library_, CP_UTF8) + " " + error);
    }

    ~PluginFolder()
    {
        // A loaded library's file cannot be removed.
        loaded_.unload();
        DeleteFileW(config_.c_str());
        DeleteFileW(library_.c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    PluginFolder(const PluginFolder&) = delete;
    PluginFolder& operator=(const PluginFolder&) = delete;

    void writeConfig(const std::string& bytes) const
    {
        HANDLE file = CreateFileW(config_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        const bool ok = file != INVALID_HANDLE_VALUE &&
                        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                        written == bytes.size();
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        if (!ok)
            throw std::runtime_error("cannot write " + toCodePage(config_, CP_UTF8));
    }

    void removeConfig() const { DeleteFileW(config_.c_str()); }

    // registConvert as a host calls it, with the warnings caught.
    hostkit::Creation create(kavri::IHost& host) const
    {
        hostkit::WarningCapture capture(loaded_.module());
        if (!capture.active())
            throw std::runtime_error("the plug-in's warnings cannot be caught");
        hostkit::Creation creation;
        creation.converter = loaded_.registConvert()(&host);
        creation.warnings = capture.finish();
        return creation;
    }

private:
    std::wstring folder_, library_, config_;
    hostkit::Library loaded_;
};

// The captions as a wide box shows them: the plug-in's own, read in the
// ANSI code page, recorded in UTF-8.
const char kMissingUtf8[] = "\xE6\x96\x87\xE4\xBB\xB6\xE4\xB8\x8D\xE5\xAD\x98\xE5\x9C\xA8"; // 文件不存在
const char kForeignUtf8[] = "\xE6\x96\x87\xE4\xBB\xB6\xE4\xB8\x8D\xE6\x98\xAF\xE5\x85\xB3\xE8\x81\x94\xE9\x85\x8D"
                            "\xE7\xBD\xAE\x21"; // 文件不是关联配置!

struct FolderCase {
    const char* label;
    UINT codePage;
    const char* folder;  // UTF-8
    const char* library; // UTF-8
    // The box: narrow when the code page can spell the path, else wide.
    bool wide;
    // The folder as the box text must spell it: in the ANSI code page in a
    // narrow box, in UTF-8 as a wide box's text is recorded.
    std::string spelt;
    std::string language;
    // The captions for a missing config.xml and for one whose root is not
    // Wired, as recorded.
    std::string missing, foreign;
};

std::ostream& operator<<(std::ostream& out, const FolderCase& c)
{
    return out << c.label;
}

const char kEnglishMissing[] = "File does not exist";
const char kEnglishForeign[] = "File is not an associated configuration!";

const FolderCase kFolderCases[] = {
    // 插件: GBK B2 E5 BC FE.
    {"ChineseFolder", 936, "\xE6\x8F\x92\xE4\xBB\xB6", "wiredClsTab.dll", false, "\xB2\xE5\xBC\xFE", "Chinese",
     e2e::ChineseCaptions::fileMissing, e2e::ChineseCaptions::notConfiguration},
    // 플러그인: no GBK spelling.
    {"KoreanFolder", 936, "\xED\x94\x8C\xEB\x9F\xAC\xEA\xB7\xB8\xEC\x9D\xB8", "wiredClsTab.dll", true,
     "\xED\x94\x8C\xEB\x9F\xAC\xEA\xB7\xB8\xEC\x9D\xB8", "Chinese", kMissingUtf8, kForeignUtf8},
    // 淺.dll: GBK 9C 5C, a second byte that equals '\'.
    {"BackslashInTheFileName", 936, "plugins", "\xE6\xB7\xBA.dll", false, "plugins", "Chinese",
     e2e::ChineseCaptions::fileMissing, e2e::ChineseCaptions::notConfiguration},
    // プラグイン: Shift-JIS 83 76 83 89 83 4F 83 43 83 93.
    {"JapaneseFolder", 932, "\xE3\x83\x97\xE3\x83\xA9\xE3\x82\xB0\xE3\x82\xA4\xE3\x83\xB3", "wiredClsTab.dll", false,
     "\x83\x76\x83\x89\x83\x4F\x83\x43\x83\x93", "English", kEnglishMissing, kEnglishForeign},
    // 플러그인: no Shift-JIS spelling either.
    {"KoreanFolder", 932, "\xED\x94\x8C\xEB\x9F\xAC\xEA\xB7\xB8\xEC\x9D\xB8", "wiredClsTab.dll", true,
     "\xED\x94\x8C\xEB\x9F\xAC\xEA\xB7\xB8\xEC\x9D\xB8", "English", kEnglishMissing, kEnglishForeign},
    // 表示.dll: Shift-JIS 95 5C 8E A6.
    {"BackslashInTheFileName", 932, "plugins", "\xE8\xA1\xA8\xE7\xA4\xBA.dll", false, "plugins", "English",
     kEnglishMissing, kEnglishForeign},
};

// The cases for the code page this process runs in.
template <typename Case, std::size_t N>
std::vector<Case> forThisCodePage(const Case (&cases)[N])
{
    std::vector<Case> chosen;
    for (const Case& c : cases) {
        if (c.codePage == GetACP())
            chosen.push_back(c);
    }
    return chosen;
}

class PluginFolderTest : public ::testing::TestWithParam<FolderCase> {
protected:
    void SetUp() override
    {
        base_ = hostkit::files::makeTemporaryFolder("wiredClsTab-codepage");
        ASSERT_FALSE(base_.empty());
        for (char c : base_)
            ASSERT_TRUE(static_cast<unsigned char>(c) < 0x80) << "the temporary folder is not ASCII: " << base_;
    }

    void TearDown() override
    {
        if (!base_.empty())
            hostkit::files::removeFolder(base_);
    }

    std::string base_;
};

TEST_P(PluginFolderTest, ReadsTheConfigBesideTheLibraryAndNamesItsFullPath)
{
    const FolderCase& c = GetParam();
    PluginFolder plugin(fromCodePage(base_, CP_ACP), fromCodePage(c.folder, CP_UTF8), fromCodePage(c.library, CP_UTF8));

    plugin.writeConfig("<Wired><Link class=\"Person\" table=\"PERSON_INFO\"/></Wired>");
    RecordingHost reading;
    reading.language = c.language;
    const hostkit::Creation read = plugin.create(reading);
    EXPECT_NE(nullptr, read.converter);
    EXPECT_EQ(Warnings{}, read.warnings);
    EXPECT_EQ(std::vector<LinkCall>({{"Person", "PERSON_INFO"}}), reading.links);

    // The box's text is the full path of the config.xml looked for.
    const std::string path = base_ + "\\" + c.spelt + "\\config.xml";
    struct Broken {
        const char* what;
        const char* content; // null: no config.xml at all
        const std::string& caption;
    };
    const Broken broken[] = {{"missing", nullptr, c.missing}, {"foreign root", "<Other/>", c.foreign}};
    for (const Broken& b : broken) {
        SCOPED_TRACE(b.what);
        if (b.content != nullptr)
            plugin.writeConfig(b.content);
        else
            plugin.removeConfig();
        RecordingHost host;
        host.language = c.language;
        const hostkit::Creation created = plugin.create(host);
        EXPECT_NE(nullptr, created.converter);
        EXPECT_EQ((Warnings{{b.caption, path}}), created.warnings);
        if (!created.warnings.empty()) {
            EXPECT_EQ(c.wide, created.warnings[0].wide);
        }
        EXPECT_TRUE(host.links.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, PluginFolderTest, ::testing::ValuesIn(forThisCodePage(kFolderCases)),
                         [](const ::testing::TestParamInfo<FolderCase>& info) { return info.param.label; });

// Class names in the ANSI code page's bytes.
struct NameCase {
    const char* label;
    UINT codePage;
    std::string name, table;
};

std::ostream& operator<<(std::ostream& out, const NameCase& c)
{
    return out << c.label;
}

const NameCase kNameCases[] = {
    // 條 is GBK 97 6C: its second byte looks like 'l'.
    {"TiaoCode", 936, "\x97\x6C" "Code", "\x97\x6C" "Code"},
    {"orderTiaoItem", 936, "order\x97\x6C" "Item", "order\x97\x6C" "Item"},
    {"TiaoCodeItem", 936, "\x97\x6C" "CodeItem", "\x97\x6C" "Code_Item"},
    // 0x80 (the euro sign) is a character of its own, not a first byte.
    {"EuroaB", 936, "\x80" "aB", "\x80" "a_B"},
    // カード is Shift-JIS 83 4A 81 5B 83 68: ド ends in 'h'.
    {"KaadoInfo", 932, "\x83\x4A\x81\x5B\x83\x68" "Info", "\x83\x4A\x81\x5B\x83\x68" "Info"},
    // Half-width katakana are single bytes: ｶ (B6) takes no letter with it.
    {"KaaB", 932, "\xB6" "aB", "\xB6" "a_B"},
    {"cardKaadoInfoItem", 932, "card\x83\x4A\x81\x5B\x83\x68" "InfoItem", "card\x83\x4A\x81\x5B\x83\x68" "Info_Item"},
};

class DoubleByteNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(DoubleByteNameTest, NoSeamAfterADoubleByteCharacter)
{
    const NameCase& c = GetParam();
    hostkit::PluginInstance plugin;
    hostkit::PluginInstance::requireCopy(plugin, pluginLibrary, "<Wired/>");
    RecordingHost host;
    kavri::IConvert* converter = plugin.create(host).converter;
    ASSERT_NE(nullptr, converter);

    FakeNode node(c.name, "com.shop.model");
    e2e::Model model{&node};
    EXPECT_EQ(0, converter->convert(&model));
    EXPECT_EQ(std::vector<std::string>{c.table}, node.tablesSet);
    EXPECT_EQ(std::vector<LogRecord>(
                  {{"Table is set.", c.table, kavri::logline::kWiredSource, kavri::logline::kTableSet}}),
              host.logs);
}

INSTANTIATE_TEST_SUITE_P(Names, DoubleByteNameTest, ::testing::ValuesIn(forThisCodePage(kNameCases)),
                         [](const ::testing::TestParamInfo<NameCase>& info) { return info.param.label; });

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: codepage_tests [gtest options] CODE_PAGE PLUGIN_LIBRARY\n");
        return 2;
    }
    const UINT wanted = static_cast<UINT>(std::strtoul(argv[1], nullptr, 10));
    if (GetACP() != wanted) {
        // Wine falls back to code page 1252 for a locale the system lacks.
        const char* all = std::getenv("LC_ALL");
        const char* lang = std::getenv("LANG");
        const char* locale = all != nullptr && all[0] != '\0' ? all : lang != nullptr ? lang : "(unset)";
        std::fprintf(stderr,
                     "codepage_tests: the ANSI code page is %u, not %u: is the locale %s generated "
                     "(scripts/setup.sh)?\n",
                     GetACP(), wanted, locale);
        return 1;
    }
    pluginLibrary = argv[2];
    return RUN_ALL_TESTS();
}
