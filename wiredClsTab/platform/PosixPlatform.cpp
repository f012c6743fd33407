#include "Platform.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace kavri {
namespace platform {

namespace {

// Any address inside this library locates its mapping.
void anchor() {}

// The kernel's own record of which file backs the mapping holding the
// library's code: absolute, whatever path and working directory the host
// used to load it.
std::string ownMappedFile()
{
    const auto self = reinterpret_cast<std::uintptr_t>(&anchor);
    std::string found;
    FILE* maps = std::fopen("/proc/self/maps", "re");
    if (maps == nullptr)
        return found;
    char* line = nullptr;
    std::size_t capacity = 0;
    ssize_t length;
    while ((length = getline(&line, &capacity, maps)) > 0) {
        unsigned long low = 0, high = 0;
        int pathStart = 0;
        if (std::sscanf(line, "%lx-%lx %*s %*s %*s %*s %n", &low, &high, &pathStart) < 2 || pathStart == 0)
            continue;
        if (self < low || self >= high || line[pathStart] != '/')
            continue;
        found.assign(line + pathStart, static_cast<std::size_t>(length) - pathStart);
        if (!found.empty() && found.back() == '\n')
            found.pop_back();
        break;
    }
    std::free(line);
    std::fclose(maps);
    return found;
}

} // namespace

std::size_t pathCapacity()
{
    return PATH_MAX;
}

char pathSeparator()
{
    return '/';
}

std::size_t moduleFileName(char* buffer, std::size_t size)
{
    const std::string path = ownMappedFile();
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
    // glibc opens a directory for reading where Windows refuses; treat it as
    // the unreadable file it is.
    struct stat info;
    if (stat(path, &info) == 0 && S_ISDIR(info.st_mode))
        return tinyxml2::XML_ERROR_FILE_NOT_FOUND;
    return document.LoadFile(path);
}

void formatXmlError(char* buffer, std::size_t size, int code)
{
    std::snprintf(buffer, size, "XMLError:%d", code);
}

const char* chineseCaption(Caption caption)
{
    switch (caption) {
    case Caption::FileMissing:
        return "文件不存在";
    case Caption::FormatError:
        return "文件格式错误!";
    case Caption::NotReadable:
        return "文件不存在!";
    case Caption::NotConfiguration:
        break;
    }
    return "文件不是关联配置!";
}

// Without a window system the warning is one line on standard error.
void showWarning(const char* caption, const char* text)
{
    const std::string line = std::string(caption) + ": " + text + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace platform
} // namespace kavri
