// Arbitrary bytes as config.xml, read by a converter the way the plug-in
// reads it (module path, existence test, LoadFile, root check, entries),
// with a recording host. The outcome is checked against a plain reading of
// the same file: one warning with the right caption when it is refused,
// otherwise exactly the codes and links the entries give.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include <tinyxml2.h>

#include "FakePlatform.h"
#include "FuzzCheck.h"
#include "FuzzScratch.h"
#include "KavriWired.h"
#include "RecordingHost.h"

using kavri_test::FakePlatform;
using kavri_test::LinkCall;
using kavri_test::LogRecord;
using kavri_test::RecordingHost;

namespace {

std::string configPath;

const char* captionFor(int error)
{
    switch (error) {
    case tinyxml2::XML_ERROR_MISMATCHED_ELEMENT:
        return "File format error!";
    case tinyxml2::XML_ERROR_FILE_NOT_FOUND:
        return "File is not exits!";
    default:
        return nullptr;
    }
}

// The Chinese twin of each worded caption, as the Linux plug-in writes it.
const char* chineseFor(const std::string& english)
{
    static const char* const captions[][2] = {{"File does not exist", "文件不存在"},
                                              {"File format error!", "文件格式错误!"},
                                              {"File is not exits!", "文件不存在!"},
                                              {"File is not an associated configuration!", "文件不是关联配置!"}};
    for (const auto& caption : captions)
        if (english == caption[0])
            return caption[1];
    FUZZ_CHECK(false);
    return nullptr;
}

struct Expected {
    std::vector<std::pair<std::string, std::string>> warnings;
    std::vector<std::string> packageCodes, leaderCodes;
    std::vector<LinkCall> links;
    std::vector<LogRecord> logs;
};

// The entries as a reader of the format sees them, without the plug-in's code.
void readEntries(const tinyxml2::XMLElement* root, const std::vector<int>& answers, Expected& expected)
{
    for (const tinyxml2::XMLElement* child = root->FirstChildElement(); child; child = child->NextSiblingElement()) {
        const std::string name = child->Name();
        const tinyxml2::XMLAttribute* first = child->FirstAttribute();
        if (name == "Package" || name == "Leader") {
            if (first && std::string(first->Name()) == "code" && first->Value()[0] != '\0')
                (name == "Package" ? expected.packageCodes : expected.leaderCodes).push_back(first->Value());
        } else if (name == "Link") {
            const char* className = child->Attribute("class");
            const char* tableName = child->Attribute("table");
            if (className && tableName) {
                const int answer = answers[expected.links.size() % answers.size()];
                expected.links.push_back({className, tableName});
                if (answer > 0)
                    expected.logs.push_back({"Wired is set.", className, "wiredClsTab\\KavriConfig", 102});
                else if (answer < 0)
                    expected.logs.push_back({className, tableName, "wiredClsTab\\KavriConfig", 103});
            }
        }
    }
}

Expected expectationFor(bool chinese, const std::vector<int>& answers)
{
    Expected expected;
    auto warn = [&](const std::string& english) {
        expected.warnings.emplace_back(chinese ? chineseFor(english) : english, configPath);
    };
    tinyxml2::XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
    const int error = document.LoadFile(configPath.c_str());
    if (error != tinyxml2::XML_SUCCESS) {
        if (const char* caption = captionFor(error))
            warn(caption);
        else
            expected.warnings.emplace_back("XMLError:" + std::to_string(error), configPath);
        return expected;
    }
    const tinyxml2::XMLElement* root = document.FirstChildElement();
    if (root == nullptr || std::strcmp(root->Name(), "Wired") != 0) {
        warn("File is not an associated configuration!");
        return expected;
    }
    readEntries(root, answers, expected);
    return expected;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    configPath = fuzzkit::scratchDirectory() + "/config.xml";
    FakePlatform::instance().modulePath = fuzzkit::scratchDirectory() + "/libwiredClsTab.so";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzkit::writeScratchFile("config.xml", data, size);
    FakePlatform::instance().warnings.clear();
    FakePlatform::instance().existenceChecks.clear();

    // The host's language and link answers vary with the input, so both
    // caption languages and all three kinds of answer are reached.
    const bool chinese = size % 2 == 1;
    const std::vector<int> answers = size % 3 == 0 ? std::vector<int>{1, 0, -1} : std::vector<int>{-1, 2};
    RecordingHost host;
    host.language = chinese ? "Chinese" : "English";
    int linkCalls = 0;
    host.beforeCall = [&](const char* operation) {
        if (std::strcmp(operation, "registerLink") == 0)
            host.linkAnswer = answers[linkCalls++ % answers.size()];
    };

    kavri::KavriWired converter(&host);

    const Expected expected = expectationFor(chinese, answers);
    FUZZ_CHECK(FakePlatform::instance().warnings == expected.warnings);
    FUZZ_CHECK(converter.packageCodes.strings() == expected.packageCodes);
    FUZZ_CHECK(converter.leaderCodes.strings() == expected.leaderCodes);
    FUZZ_CHECK(host.links == expected.links);
    FUZZ_CHECK(host.logs == expected.logs);
    // The language is asked only for a worded warning, once.
    const bool worded = !expected.warnings.empty() && expected.warnings[0].first.rfind("XMLError:", 0) != 0;
    FUZZ_CHECK(host.languageCalls == (worded ? 1 : 0));
    FUZZ_CHECK(converter.handledCount == 0);
    return 0;
}
