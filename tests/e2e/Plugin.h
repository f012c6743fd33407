#ifndef WIREDCLSTAB_E2E_PLUGIN_H
#define WIREDCLSTAB_E2E_PLUGIN_H

#include <string>
#include <vector>

#include "PluginLoader.h"
#include "WarningSpy.h"
#include "kavri/IConvert.h"

namespace e2e {

// What registConvert gave, and the warnings shown to the user meanwhile.
struct Creation {
    kavri::IConvert* converter;
    std::vector<std::string> warnings;
};

// The loaded plug-in as the tests' host uses it: the config.xml beside the
// loaded copy, and converters created while the warnings are watched.
// main() makes the one instance for the whole run.
class Plugin {
public:
    Plugin(const PluginLoader& loader, WarningSpy& spy);
    ~Plugin();

    static Plugin& instance();

    // Full path of config.xml beside the loaded copy, as the plug-in sees it.
    std::string configPath() const;
    // Replaces whatever is at configPath() by a file with these bytes.
    void writeConfig(const std::string& content) const;
    // Removes whatever is at configPath().
    void removeConfig() const;
    // Replaces whatever is at configPath() by an empty directory.
    void makeConfigDirectory() const;

    // Calls registConvert as a host does. An exception from it passes on.
    Creation create(kavri::IHost& host) const;

private:
    const PluginLoader& loader_;
    WarningSpy& spy_;
};

} // namespace e2e

#endif
