#ifndef WIREDHOST_PLUGINLOADER_H
#define WIREDHOST_PLUGINLOADER_H

#include <string>
#include <vector>

#include "Report.h"
#include "kavri/IConvert.h"

namespace wiredhost {

// Loads the plug-in at run time the way a host does (LoadLibraryA and
// GetProcAddress, or dlopen and dlsym); the tool never links it. One
// implementation per platform: PluginLoader_win32.cpp, PluginLoader_posix.cpp.
class PluginLoader {
public:
    PluginLoader() = default;
    ~PluginLoader();
    PluginLoader(const PluginLoader&) = delete;
    PluginLoader& operator=(const PluginLoader&) = delete;

    // path should be absolute. False with a message in error when the file
    // cannot be loaded or does not export registConvert.
    bool load(const std::string& path, std::string& error);
    // Only once no converter of the plug-in is used any more.
    void unload();

    // Calls registConvert and collects the warning boxes the plug-in shows
    // while it reads its config.xml, instead of letting them reach the user.
    kavri::IConvert* create(kavri::IHost& host, std::vector<WarningEntry>& warnings);

    // The plug-in's file name on this platform.
    static const char* libraryFileName();

private:
    void* module_ = nullptr;
    RegistConvertFn factory_ = nullptr;
};

} // namespace wiredhost

#endif
