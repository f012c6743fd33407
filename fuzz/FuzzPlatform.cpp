#include "FuzzPlatform.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include <unistd.h>

#include "platform/Platform.h"

namespace fuzz {

FuzzPlatform& FuzzPlatform::instance()
{
    static FuzzPlatform platform;
    return platform;
}

const char* chineseCaptionFor(const std::string& englishCaption)
{
    if (englishCaption == "File does not exist")
        return "zh:missing";
    if (englishCaption == "File format error!")
        return "zh:format";
    if (englishCaption == "File is not exits!")
        return "zh:unreadable";
    return "zh:foreign";
}

} // namespace fuzz

namespace kavri {
namespace platform {

std::size_t pathCapacity()
{
    return 4096;
}

char pathSeparator()
{
    return '/';
}

std::size_t moduleFileName(char* buffer, std::size_t size)
{
    const std::string& path = fuzz::FuzzPlatform::instance().modulePath;
    const std::size_t copied = path.size() < size ? path.size() : size - 1;
    std::memcpy(buffer, path.data(), copied);
    buffer[copied] = '\0';
    return path.size() < size ? path.size() : size;
}

void appendFileName(char* buffer, std::size_t size, const char* name)
{
    const std::size_t used = std::strlen(buffer);
    std::snprintf(buffer + used, size - used, "%s", name);
}

bool fileExists(const char* path)
{
    return access(path, F_OK) == 0;
}

tinyxml2::XMLError loadXmlFile(tinyxml2::XMLDocument& document, const char* path)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path, "rb"), &std::fclose);
    if (!file)
        return tinyxml2::XML_ERROR_FILE_NOT_FOUND;
    return document.LoadFile(file.get());
}

void formatXmlError(char* buffer, std::size_t size, int code)
{
    std::snprintf(buffer, size, "XMLError:%d", code);
}

const char* chineseCaption(Caption caption)
{
    switch (caption) {
    case Caption::FileMissing:
        return "zh:missing";
    case Caption::FormatError:
        return "zh:format";
    case Caption::NotReadable:
        return "zh:unreadable";
    case Caption::NotConfiguration:
        break;
    }
    return "zh:foreign";
}

void showWarning(const char* caption, const char* text)
{
    fuzz::FuzzPlatform::instance().warnings.emplace_back(caption, text);
}

} // namespace platform
} // namespace kavri
