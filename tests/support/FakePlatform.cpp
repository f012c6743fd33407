#include "FakePlatform.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include <sys/stat.h>

#include "platform/Platform.h"

namespace kavri_test {

FakePlatform& FakePlatform::instance()
{
    static FakePlatform fake;
    return fake;
}

void FakePlatform::reset()
{
    instance() = FakePlatform();
}

} // namespace kavri_test

namespace kavri {
namespace platform {

using kavri_test::FakePlatform;

std::size_t pathCapacity()
{
    return FakePlatform::instance().capacity;
}

std::size_t pathLimit(PathCoding)
{
    return FakePlatform::instance().capacity;
}

char pathSeparator()
{
    return FakePlatform::instance().separator;
}

std::size_t firstSeparatorIndex()
{
    return FakePlatform::instance().firstSeparator;
}

bool isLeadByte(char c)
{
    return FakePlatform::instance().leadBytes.find(c) != std::string::npos;
}

std::size_t moduleFileName(char* buffer, std::size_t size, PathCoding& coding)
{
    const FakePlatform& fake = FakePlatform::instance();
    coding = fake.coding;
    const std::size_t length = fake.modulePath.size();
    const std::size_t copied = length < size ? length : size - 1;
    std::memcpy(buffer, fake.modulePath.data(), copied);
    buffer[copied] = '\0';
    return fake.reportTruncated || length >= size ? size : length;
}

void appendFileName(char* buffer, std::size_t size, const char* name)
{
    // The caller guarantees room; overflowing here would be the fault under test.
    if (std::strlen(buffer) + std::strlen(name) + 1 > size)
        throw std::logic_error("appendFileName past the buffer");
    std::strcat(buffer, name);
}

bool fileExists(const char* path, PathCoding)
{
    FakePlatform::instance().existenceChecks.push_back(path);
    struct stat info;
    return stat(path, &info) == 0;
}

tinyxml2::XMLError loadXmlFile(tinyxml2::XMLDocument& document, const char* path, PathCoding)
{
    struct stat info;
    if (stat(path, &info) == 0 && (info.st_mode & S_IFMT) == S_IFDIR)
        return tinyxml2::XML_ERROR_FILE_NOT_FOUND;
    return document.LoadFile(path);
}

void showWarning(const char* caption, const char* text, PathCoding)
{
    FakePlatform::instance().warnings.emplace_back(caption, text);
}

} // namespace platform
} // namespace kavri
