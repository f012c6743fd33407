#ifndef WIREDCLSTAB_E2E_PLUGINLOADER_H
#define WIREDCLSTAB_E2E_PLUGINLOADER_H

#include <string>

#include "kavri/IConvert.h"

namespace e2e {

// Loads the plug-in the way a host application does: the built library is
// copied into a new private folder, and that copy is loaded by its full path
// and its export looked up by name. The folder is where the copy looks for
// config.xml. The destructor unloads the copy and removes the folder.
// One implementation per platform (PluginLoader_win32.cpp, _posix.cpp).
class PluginLoader {
public:
    // Throws std::runtime_error when the library cannot be copied or loaded,
    // or does not export registConvert.
    explicit PluginLoader(const std::string& libraryPath);
    ~PluginLoader();

    PluginLoader(const PluginLoader&) = delete;
    PluginLoader& operator=(const PluginLoader&) = delete;

    RegistConvertFn registConvert() const { return registConvert_; }
    // The operating system's handle of the loaded copy.
    void* module() const { return module_; }
    // Full path of the private folder, without a trailing separator.
    const std::string& folder() const { return folder_; }
    // The path separator the plug-in sees in its own module path.
    static char separator();

private:
    void unloadAndClean();

    std::string folder_;
    void* module_ = nullptr;
    RegistConvertFn registConvert_ = nullptr;
};

} // namespace e2e

#endif
