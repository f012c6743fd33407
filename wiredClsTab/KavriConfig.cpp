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

bool KavriConfig::locateConfig(char* path, std::size_t capacity, platform::PathCoding& coding)
{
    const std::size_t written = platform::moduleFileName(path, capacity, coding);
    path[capacity - 1] = '\0';
    if (path[0] == '\0') {
        host->log("Module path is null!", "", logline::kConfigSource, logline::kModulePathNull);
        return false;
    }
    const std::size_t size = platform::pathLimit(coding);
    const std::size_t length = directoryLength(path, coding);
    // A cut-off module path names some other directory; a path with no room
    // for the file name would be cut off too.
    const bool truncated = written >= size;
    const bool roomForName = length + sizeof kConfigName <= size;
    if (length == 0 || truncated || !roomForName) {
        host->log("Module path is error!", "", logline::kConfigSource, logline::kModulePathError);
        return false;
    }
    path[length] = '\0';
    platform::appendFileName(path, size, kConfigName);
    return true;
}

std::size_t KavriConfig::directoryLength(const char* path, platform::PathCoding coding)
{
    // The directory ends after the last separator. The scan runs forwards so
    // that the second byte of a double-byte character, which may equal the
    // separator, is stepped over with its lead byte.
    const char separator = platform::pathSeparator();
    const bool doubleBytes = coding == platform::PathCoding::Native;
    std::size_t length = 0;
    for (std::size_t i = 0; path[i] != '\0'; ++i) {
        if (doubleBytes && platform::isLeadByte(path[i]) && path[i + 1] != '\0')
            ++i;
        else if (path[i] == separator && i >= platform::firstSeparatorIndex())
            length = i + 1;
    }
    return length;
}

int KavriConfig::loadConfig()
{
    std::vector<char> buffer(platform::pathCapacity(), '\0');
    char* path = buffer.data();
    platform::PathCoding coding = platform::PathCoding::Native;
    if (!locateConfig(path, buffer.size(), coding))
        return -1;

    if (!platform::fileExists(path, coding))
        return warn(KavriProblem::FileMissing, path, coding);

    tinyxml2::XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
    const KavriProblem problem = KavriProblem::ofDocument(platform::loadXmlFile(document, path, coding), document);
    if (problem.kind != KavriProblem::None)
        return warn(problem, path, coding);
    return parseConfig(KavriProblem::configRoot(document));
}

int KavriConfig::warn(const KavriProblem& problem, const char* path, platform::PathCoding coding)
{
    // The language is asked only for a worded caption, just before the box.
    const bool chinese = problem.worded() && hostSpeaksChinese();
    char numeric[100] = {};
    platform::showWarning(problem.caption(chinese, numeric, sizeof numeric), path, coding);
    return -1;
}

int KavriConfig::parseConfig(const tinyxml2::XMLElement* root)
{
    for (const tinyxml2::XMLElement* child = root->FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
        const KavriEntry entry = KavriEntry::read(*child);
        if (entry.storesCode()) {
            auto& codes = entry.kind == KavriEntry::Package ? packageCodes : leaderCodes;
            codes.add(entry.code);
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
