#ifndef HOSTKIT_PLUGININSTANCE_H
#define HOSTKIT_PLUGININSTANCE_H

#include <string>
#include <vector>

#include "Library.h"
#include "WarningCapture.h"
#include "kavri/IConvert.h"

namespace hostkit {

// What registConvert gave, and the warnings shown to the user meanwhile.
struct Creation {
    kavri::IConvert* converter = nullptr;
    std::vector<Warning> warnings;
};

// The plug-in as one host program uses it: loaded where it is installed, or
// from a private folder of its own holding a copy of the library, so that
// the config.xml beside it is the host's to choose and nothing installed is
// touched. The private folder is removed when the instance goes.
//
// The plug-in never frees a converter, and a host keeps each one until it
// ends; keep() does the same for every converter made here, so leak checkers
// see them as alive, which they are by design.
class PluginInstance {
public:
    PluginInstance() = default;
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    // Loads the library at path itself. False with a message in error.
    bool open(const std::string& path, std::string& error);
    // Copies the library at path into a new private folder and loads the
    // copy. config.xml is then absent until written.
    bool openCopy(const std::string& path, std::string& error);
    // openCopy with config.xml holding configXml; throws std::runtime_error.
    static void requireCopy(PluginInstance& instance, const std::string& path, const std::string& configXml);

    // Leaves the library loaded when the instance goes, for converters that
    // are still used afterwards.
    void keepLoaded() { keepLoaded_ = true; }

    const std::string& libraryPath() const { return library_; }
    // The folder holding the loaded library, and its config.xml there.
    std::string folder() const;
    std::string configPath() const;
    bool isPrivate() const { return !privateFolder_.empty(); }
    void* module() const { return loaded_->module(); }

    // Replace whatever is at configPath(); throw std::runtime_error on failure.
    void writeConfig(const std::string& bytes) const;
    void copyConfig(const std::string& file) const;
    void removeConfig() const;
    void makeConfigDirectory() const;

    // registConvert as a host calls it, with the warnings caught. An
    // exception from it passes on. The converter is kept.
    Creation create(kavri::IHost& host) const;
    // registConvert alone: nothing caught, nothing kept.
    kavri::IConvert* registConvert(kavri::IHost& host) const;

    static void keep(kavri::IConvert* converter);

private:
    // Owned, unless kept loaded: then deliberately never destroyed.
    Library* loaded_ = new Library();
    std::string library_;
    std::string privateFolder_;
    bool keepLoaded_ = false;
};

} // namespace hostkit

#endif
