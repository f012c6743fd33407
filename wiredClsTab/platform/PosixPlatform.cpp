#include "Platform.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <dlfcn.h>
#include <fcntl.h>
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
    // Closed and freed however this ends: copying the path may throw when
    // memory runs out, and the host must not be left holding the file.
    std::unique_ptr<FILE, int (*)(FILE*)> maps(std::fopen("/proc/self/maps", "re"), &std::fclose);
    if (!maps)
        return found;
    char* line = nullptr;
    std::unique_ptr<char*, void (*)(char**)> lineOwner(&line, [](char** p) { std::free(*p); });
    std::size_t capacity = 0;
    ssize_t length;
    while ((length = getline(&line, &capacity, maps.get())) > 0) {
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
    return found;
}

// The library's own file, links resolved, whatever path the host named it
// by. An absolute path the loader recorded is resolved directly, which is
// cheap; a relative one may no longer hold once the host has changed its
// working directory, so then the kernel's record of the mapping is read,
// which costs tens of microseconds and grows with the host's mappings.
std::string ownModuleFile()
{
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&anchor), &info) != 0 && info.dli_fname != nullptr &&
        info.dli_fname[0] == '/') {
        std::unique_ptr<char, void (*)(void*)> real(realpath(info.dli_fname, nullptr), &std::free);
        if (real)
            return real.get();
    }
    return ownMappedFile();
}

} // namespace

std::size_t pathCapacity()
{
    return PATH_MAX;
}

std::size_t pathLimit(PathCoding)
{
    return PATH_MAX;
}

char pathSeparator()
{
    return '/';
}

std::size_t firstSeparatorIndex()
{
    return 0;
}

bool isLeadByte(char)
{
    return false;
}

std::size_t moduleFileName(char* buffer, std::size_t size, PathCoding& coding)
{
    coding = PathCoding::Native;
    const std::string path = ownModuleFile();
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

bool fileExists(const char* path, PathCoding)
{
    return access(path, F_OK) == 0;
}

tinyxml2::XMLError loadXmlFile(tinyxml2::XMLDocument& document, const char* path, PathCoding)
{
    // Opened without waiting (a pipe would wait for a writer) and taken only
    // when it is a regular file: glibc reads a directory where Windows
    // refuses, and a pipe or a device is no configuration. The flag stays:
    // reading a regular file never waits, with or without it. Opened here
    // rather than by LoadFile(path), which keeps the file open while it
    // parses and never closes it when parsing throws (memory exhausted): the
    // host would be left holding the file.
    const int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return tinyxml2::XML_ERROR_FILE_NOT_FOUND;
    struct stat info;
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(descriptor);
        return tinyxml2::XML_ERROR_FILE_NOT_FOUND;
    }
    std::unique_ptr<FILE, int (*)(FILE*)> file(fdopen(descriptor, "rb"), &std::fclose);
    if (!file) {
        close(descriptor);
        return tinyxml2::XML_ERROR_FILE_NOT_FOUND;
    }
    return document.LoadFile(file.get());
}

// Without a window system the warning is one line on standard error.
void showWarning(const char* caption, const char* text, PathCoding)
{
    const std::string line = std::string(caption) + ": " + text + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace platform
} // namespace kavri
