#ifndef WIREDHOST_PLUGINSESSION_H
#define WIREDHOST_PLUGINSESSION_H

#include <string>
#include <vector>

#include "ModelNode.h"
#include "model/Model.h"
#include "PluginInstance.h"
#include "RunRecord.h"

namespace wiredhost {

// The plug-in as one run of the tool uses it. With a config file of its
// own, the plug-in runs from a private copy with that file as its
// config.xml, so no installation is touched.
class PluginSession {
public:
    // An empty pluginPath picks the plug-in built or installed beside the
    // tool; an empty configFile leaves the plug-in its own config.xml.
    bool open(const std::string& pluginPath, const std::string& configFile, std::string& error);

    // The plug-in and the config file as the user knows them: the private
    // copy the plug-in runs from is the tool's business.
    const std::string& pluginPath() const { return plugin_; }
    const std::string& configPath() const { return config_; }
    bool usesPrivateCopy() const { return instance_.isPrivate(); }

    hostkit::Creation create(kavri::IHost& host) const { return instance_.create(host); }

    // reset, then convert on a model node whose traversal walks the class's
    // packages and then the class; says what became of the class. Without a
    // model every table name is taken.
    ClassEntry convertClass(kavri::IConvert& converter, const ModelClass& modelClass, const Model* model);

    static std::string defaultPluginPath();

private:
    hostkit::PluginInstance instance_;
    std::string plugin_;
    std::string config_;
    // The nodes of a class's packages and the model's list of what it
    // visits, kept from class to class for their blocks: a big model
    // converts 100,000 classes.
    std::vector<ModelNode> packageNodes_;
    std::vector<ModelNode*> visits_;
};

} // namespace wiredhost

#endif
