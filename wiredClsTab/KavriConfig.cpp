#include "KavriConfig.h"

#include <cstring>

#include <tinyxml2.h>

#include "KavriEntry.h"
#include "platform/Platform.h"

namespace kavri {

namespace {

const char kSourceFile[] = "wiredClsTab\\KavriConfig";
const char kConfigName[] = "config.xml";

const char* englishCaption(platform::Caption caption)
{
    switch (caption) {
    case platform::Caption::FileMissing:
        return "File does not exist";
    case platform::Caption::FormatError:
        return "File format error!";
    case platform::Caption::NotReadable:
        return "File is not exits!";
    case platform::Caption::NotConfiguration:
        break;
    }
    return "File is not an associated configuration!";
}

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
        host->log("Module path is null!", "", kSourceFile, 17);
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
        host->log("Module path is error!", "", kSourceFile, 29);
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

    auto warn = [&](platform::Caption caption) {
        const char* text = hostSpeaksChinese() ? platform::chineseCaption(caption) : englishCaption(caption);
        platform::showWarning(text, path);
        return -1;
    };

    if (!platform::fileExists(path))
        return warn(platform::Caption::FileMissing);

    tinyxml2::XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
    const tinyxml2::XMLError error = platform::loadXmlFile(document, path);
    switch (error) {
    case tinyxml2::XML_SUCCESS:
        break;
    case tinyxml2::XML_ERROR_MISMATCHED_ELEMENT:
        return warn(platform::Caption::FormatError);
    case tinyxml2::XML_ERROR_FILE_NOT_FOUND:
        return warn(platform::Caption::NotReadable);
    default: {
        // The numeric caption has one form only: the language is not asked.
        char caption[100] = {};
        platform::formatXmlError(caption, sizeof caption, error);
        platform::showWarning(caption, path);
        return -1;
    }
    }

    const tinyxml2::XMLElement* root = configRoot(document);
    if (root == nullptr)
        return warn(platform::Caption::NotConfiguration);
    return parseConfig(root);
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
                host->log("Wired is set.", entry.className, kSourceFile, 102);
            else if (answer < 0)
                host->log(entry.className, entry.tableName, kSourceFile, 103);
        }
    }
    return 0;
}

} // namespace kavri
