#include "KavriConfig.h"

#include <cstring>

#include <tinyxml2.h>

#include "KavriEntry.h"
#include "kavri/LogRecords.h"
#include "KavriProblem.h"
#include "platform/Platform.h"

namespace kavri {

namespace {

const char kConfigName[] = "config.xml";

} // namespace

bool KavriConfig::hostSpeaksChinese()
{
    // The setting is asked afresh for every message and never kept.
    return host->getLanguage() == "Chinese";
}

bool KavriConfig::locateConfig(char* path, std::size_t size)
{
    const std::size_t written = platform::moduleFileName(path, size);
    path[size - 1] = '\0';
    if (path[0] == '\0') {
        host->log("Module path is null!", "", logline::kConfigSource, logline::kModulePathNull);
        return false;
    }
    std::size_t length = std::strlen(path);
    const char separator = platform::pathSeparator();
    // Keep the directory with its trailing separator. The first character
    // is never taken as the separator, so "\conv.dll" has no directory.
    for (std::size_t i = length - 1; i >= 1; --i) {
        if (path[i] == separator) {
            length = i + 1;
            path[length] = '\0';
            break;
        }
    }
    // A cut-off module path names some other directory; a path with no room
    // for the file name would be cut off too.
    const bool truncated = written >= size;
    const bool roomForName = length + sizeof kConfigName <= size;
    if (path[length - 1] != separator || truncated || !roomForName) {
        host->log("Module path is error!", "", logline::kConfigSource, logline::kModulePathError);
        return false;
    }
    platform::appendFileName(path, size, kConfigName);
    return true;
}

int KavriConfig::loadConfig()
{
    std::vector<char> buffer(platform::pathCapacity(), '\0');
    char* path = buffer.data();
    if (!locateConfig(path, buffer.size()))
        return -1;

    if (!platform::fileExists(path))
        return warn(KavriProblem::FileMissing, path);

    tinyxml2::XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
    const KavriProblem problem = KavriProblem::ofDocument(platform::loadXmlFile(document, path), document);
    if (problem.kind != KavriProblem::None)
        return warn(problem, path);
    return parseConfig(KavriProblem::configRoot(document));
}

int KavriConfig::warn(const KavriProblem& problem, const char* path)
{
    // The language is asked only for a worded caption, just before the box.
    const bool chinese = problem.worded() && hostSpeaksChinese();
    char numeric[100] = {};
    platform::showWarning(problem.caption(chinese, numeric, sizeof numeric), path);
    return -1;
}

int KavriConfig::parseConfig(const tinyxml2::XMLElement* root)
{
    for (const tinyxml2::XMLElement* child = root->FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
        const KavriEntry entry = KavriEntry::read(*child);
        if (entry.storesCode()) {
            auto& codes = entry.kind == KavriEntry::Package ? packageCodes : leaderCodes;
            codes.emplace_back(entry.code);
        } else if (entry.registersLink()) {
            // Registered as soon as met, before the entries after it are read.
            const int answer = host->registerLink(entry.className, entry.tableName);
            if (answer > 0)
                host->log("Wired is set.", entry.className, logline::kConfigSource, logline::kLinkSet);
            else if (answer < 0)
                host->log(entry.className, entry.tableName, logline::kConfigSource, logline::kLinkFailed);
        }
    }
    return 0;
}

} // namespace kavri
