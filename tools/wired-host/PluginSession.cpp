#include "PluginSession.h"

#include <memory>

#include "Files.h"
#include "ModelNode.h"

namespace wiredhost {

namespace {

std::vector<std::string> packageParts(const std::string& package)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (!package.empty()) {
        const std::size_t dot = package.find('.', start);
        parts.push_back(package.substr(start, dot - start));
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    return parts;
}

Outcome outcomeOf(const ModelNode& classNode)
{
    if (classNode.tableAsked) {
        if (classNode.tableAnswer > 0)
            return Outcome::Set;
        return classNode.tableAnswer < 0 ? Outcome::TableNotFound : Outcome::NothingDone;
    }
    // The converter looked at the package and turned away before the name.
    if (classNode.packageAsked && !classNode.nameAsked)
        return Outcome::Skipped;
    return Outcome::NothingDone;
}

} // namespace

PluginSession::~PluginSession()
{
    // A loaded library file cannot be removed on Windows: unload first.
    loader_.unload();
    if (privateFolder_.empty())
        return;
    files::removeFile(files::join(privateFolder_, "config.xml"));
    files::removeFile(files::join(privateFolder_, PluginLoader::libraryFileName()));
    files::removeFolder(privateFolder_);
}

std::string PluginSession::defaultPluginPath()
{
    const std::string folder = files::executableFolder();
    const std::string beside = files::join(folder, PluginLoader::libraryFileName());
    // Installed on Linux: bin/wired-host and lib/wiredClsTab/libwiredClsTab.so.
    const std::string installed =
        files::join(files::join(files::join(files::folderOf(folder), "lib"), "wiredClsTab"),
                    PluginLoader::libraryFileName());
    return !files::exists(beside) && files::exists(installed) ? installed : beside;
}

bool PluginSession::open(const std::string& pluginPath, const std::string& configFile, std::string& error)
{
    const std::string plugin = files::absolute(pluginPath.empty() ? defaultPluginPath() : pluginPath);
    if (!files::isFile(plugin)) {
        error = plugin + ": no plug-in there (use --plugin PATH)";
        return false;
    }
    source_ = plugin;
    if (configFile.empty()) {
        loaded_ = plugin;
        configPath_ = files::join(files::folderOf(plugin), "config.xml");
    } else if (!makePrivateCopy(plugin, configFile, error)) {
        return false;
    }
    return loader_.load(loaded_, error);
}

bool PluginSession::makePrivateCopy(const std::string& plugin, const std::string& configFile, std::string& error)
{
    if (!files::isFile(configFile)) {
        error = configFile + ": cannot read the config file";
        return false;
    }
    privateFolder_ = files::makeTemporaryFolder();
    if (privateFolder_.empty()) {
        error = "cannot make a temporary folder for the plug-in";
        return false;
    }
    // Named as the plug-in is built, whatever the original's name, so the
    // folder can be cleaned up without listing it.
    const std::string copy = files::join(privateFolder_, PluginLoader::libraryFileName());
    const std::string config = files::join(privateFolder_, "config.xml");
    if (!files::copyFile(plugin, copy) || !files::copyFile(configFile, config)) {
        error = "cannot copy the plug-in and " + configFile + " to " + privateFolder_;
        return false;
    }
    loaded_ = copy;
    configPath_ = config;
    return true;
}

kavri::IConvert* PluginSession::create(kavri::IHost& host, std::vector<WarningEntry>& warnings)
{
    return loader_.create(host, warnings);
}

ClassEntry PluginSession::convertClass(kavri::IConvert& converter, const ModelClass& modelClass, const Model* model)
{
    ModelNode root(ModelNode::kModelKind, "", "", model);
    std::vector<std::unique_ptr<ModelNode>> packages;
    std::string path;
    for (const std::string& part : packageParts(modelClass.package)) {
        packages.push_back(std::make_unique<ModelNode>(ModelNode::kPackageKind, part, path, model));
        root.visits.push_back(packages.back().get());
        path += path.empty() ? part : "." + part;
    }
    ModelNode classNode(ModelNode::kClassKind, modelClass.name, modelClass.package, model);
    root.visits.push_back(&classNode);

    converter.reset();
    converter.convert(&root);

    ClassEntry entry{modelClass.name, modelClass.package, classNode.tableName, outcomeOf(classNode)};
    return entry;
}

} // namespace wiredhost
