#ifndef WIREDHOST_PLUGINSESSION_H
#define WIREDHOST_PLUGINSESSION_H

#include <string>
#include <vector>

#include "Model.h"
#include "PluginLoader.h"
#include "Report.h"
#include "kavri/IConvert.h"

namespace wiredhost {

// The plug-in as one run of the tool uses it. With a config file of its
// own, the plug-in runs from a private copy in a temporary folder with that
// file as its config.xml, so no installation is touched; the folder is
// removed when the session ends.
class PluginSession {
public:
    PluginSession() = default;
    ~PluginSession();
    PluginSession(const PluginSession&) = delete;
    PluginSession& operator=(const PluginSession&) = delete;

    // An empty pluginPath picks the plug-in built or installed beside the
    // tool; an empty configFile leaves the plug-in its own config.xml.
    bool open(const std::string& pluginPath, const std::string& configFile, std::string& error);

    // The plug-in asked for, the file loaded (its private copy, if any) and
    // the config.xml it reads.
    const std::string& sourcePath() const { return source_; }
    const std::string& pluginPath() const { return loaded_; }
    const std::string& configPath() const { return configPath_; }

    kavri::IConvert* create(kavri::IHost& host, std::vector<WarningEntry>& warnings);

    // reset, then convert on a model node whose traversal walks the class's
    // packages and then the class; says what became of the class. Without a
    // model every table name is taken.
    static ClassEntry convertClass(kavri::IConvert& converter, const ModelClass& modelClass, const Model* model);

    static std::string defaultPluginPath();

private:
    bool makePrivateCopy(const std::string& plugin, const std::string& configFile, std::string& error);

    PluginLoader loader_;
    std::string source_;
    std::string loaded_;
    std::string configPath_;
    std::string privateFolder_;
};

} // namespace wiredhost

#endif
