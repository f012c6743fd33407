#include "PluginLoader.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include <windows.h>

namespace e2e {

namespace {

std::runtime_error failure(const std::string& what, const std::string& subject)
{
    return std::runtime_error(what + " " + subject + " failed (error " + std::to_string(GetLastError()) + ")");
}

// The long, absolute form, as GetModuleFileNameA later reports the copy.
std::string fullPath(const std::string& path)
{
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full)
        throw failure("GetFullPathNameA", path);
    char longer[MAX_PATH];
    const DWORD longLength = GetLongPathNameA(full, longer, sizeof longer);
    if (longLength == 0 || longLength >= sizeof longer)
        return full;
    return longer;
}

std::string fileName(const std::string& path)
{
    const std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string newPrivateFolder()
{
    char temp[MAX_PATH];
    const DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length >= sizeof temp)
        throw failure("GetTempPathA", "");
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string folder = std::string(temp) + "wiredClsTab-e2e-" + std::to_string(GetCurrentProcessId()) +
                                   "-" + std::to_string(GetTickCount()) + "-" + std::to_string(attempt);
        if (CreateDirectoryA(folder.c_str(), nullptr))
            return fullPath(folder);
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw failure("CreateDirectoryA", folder);
    }
    throw std::runtime_error("no private folder could be created in " + std::string(temp));
}

} // namespace

char PluginLoader::separator()
{
    return '\\';
}

PluginLoader::PluginLoader(const std::string& libraryPath)
{
    const std::string source = fullPath(libraryPath);
    folder_ = newPrivateFolder();
    try {
        const std::string copy = folder_ + separator() + fileName(source);
        if (!CopyFileA(source.c_str(), copy.c_str(), TRUE))
            throw failure("CopyFileA", source);
        module_ = LoadLibraryA(copy.c_str());
        if (module_ == nullptr)
            throw failure("LoadLibraryA", copy);
        // The plug-in finds config.xml through this name, and the tests
        // expect it in their warnings: it must be the copy, spelt as here.
        char loaded[MAX_PATH] = {};
        GetModuleFileNameA(static_cast<HMODULE>(module_), loaded, sizeof loaded);
        if (copy != loaded)
            throw std::runtime_error("the copy " + copy + " was loaded as " + loaded);
        auto symbol = GetProcAddress(static_cast<HMODULE>(module_), "registConvert");
        if (symbol == nullptr)
            throw failure("GetProcAddress registConvert in", copy);
        registConvert_ = reinterpret_cast<RegistConvertFn>(reinterpret_cast<void*>(symbol));
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
    // Windows keeps a loaded file locked, so unload before removing it.
    if (module_ != nullptr)
        FreeLibrary(static_cast<HMODULE>(module_));
    module_ = nullptr;
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

} // namespace e2e
