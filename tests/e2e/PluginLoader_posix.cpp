#include "PluginLoader.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

#include <dlfcn.h>

namespace e2e {

namespace {

std::runtime_error failure(const std::string& what, const std::string& subject)
{
    return std::runtime_error(what + " " + subject + " failed: " + std::strerror(errno));
}

// Symbolic links resolved, as the kernel reports the mapped copy.
std::string fullPath(const std::string& path)
{
    char full[PATH_MAX];
    if (realpath(path.c_str(), full) == nullptr)
        throw failure("realpath", path);
    return full;
}

std::string newPrivateFolder()
{
    const char* temp = std::getenv("TMPDIR");
    std::string pattern = std::string(temp != nullptr && temp[0] != '\0' ? temp : "/tmp") + "/wiredClsTab-e2e-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr)
        throw failure("mkdtemp", pattern);
    return fullPath(buffer.data());
}

} // namespace

char PluginLoader::separator()
{
    return '/';
}

PluginLoader::PluginLoader(const std::string& libraryPath)
{
    const std::string source = fullPath(libraryPath);
    folder_ = newPrivateFolder();
    try {
        const std::string copy = folder_ + separator() + std::filesystem::path(source).filename().string();
        std::filesystem::copy_file(source, copy);
        module_ = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module_ == nullptr)
            throw std::runtime_error("dlopen " + copy + " failed: " + dlerror());
        void* symbol = dlsym(module_, "registConvert");
        if (symbol == nullptr)
            throw std::runtime_error("dlsym registConvert in " + copy + " failed");
        registConvert_ = reinterpret_cast<RegistConvertFn>(symbol);
    } catch (...) {
        unloadAndClean();
        throw;
    }
}

PluginLoader::~PluginLoader()
{
    unloadAndClean();
}

void PluginLoader::unloadAndClean()
{
    if (module_ != nullptr)
        dlclose(module_);
    module_ = nullptr;
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

} // namespace e2e
