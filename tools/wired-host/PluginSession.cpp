#include "PluginSession.h"

#include <algorithm>
#include <memory>

#include "Files.h"
#include "ModelNode.h"
#include "model/XmlTagLimits.h"

namespace wiredhost {

namespace {

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

std::string PluginSession::defaultPluginPath()
{
    using namespace hostkit;
    const std::string folder = files::executableFolder();
    const std::string beside = files::join(folder, Library::fileName());
    // Installed on Linux: bin/wired-host and lib/wiredClsTab/libwiredClsTab.so.
    const std::string installed =
        files::join(files::join(files::join(files::folderOf(folder), "lib"), "wiredClsTab"), Library::fileName());
    return !files::exists(beside) && files::exists(installed) ? installed : beside;
}

bool PluginSession::open(const std::string& pluginPath, const std::string& configFile, std::string& error)
{
    using namespace hostkit;
    plugin_ = files::absolute(pluginPath.empty() ? defaultPluginPath() : pluginPath);
    if (!files::isFile(plugin_)) {
        error = plugin_ + ": no plug-in there (use --plugin PATH)";
        return false;
    }
    if (configFile.empty()) {
        config_ = files::join(files::folderOf(plugin_), "config.xml");
        return instance_.open(plugin_, error);
    }
    config_ = files::absolute(configFile);
    error = files::notAFile(configFile, "the config file");
    if (!error.empty())
        return false;
    std::string bytes;
    if (!files::readFile(config_, "the config file", bytes, error))
        return false;
    // The plug-in's XML parser would take minutes over such a file.
    if (!XmlTagLimits::within(bytes, configFile, error)) {
        error += ": the plug-in would take minutes over it";
        return false;
    }
    if (!instance_.openCopy(plugin_, error))
        return false;
    // The bytes checked are the bytes the plug-in reads.
    if (!files::writeFile(instance_.configPath(), bytes)) {
        error = "cannot copy " + configFile + " to " + instance_.configPath();
        return false;
    }
    return true;
}

namespace {

ClassEntry entryOf(const ModelClass& modelClass, std::string tableName, Outcome outcome)
{
    return ClassEntry{modelClass.name, modelClass.package, std::move(tableName), outcome, modelClass.duplicate,
                      modelClass.ownNames};
}

} // namespace

ClassEntry PluginSession::convertClass(kavri::IConvert& converter, const ModelClass& modelClass, const Model* model)
{
    // A class without a name has no table to derive: it is not converted.
    if (modelClass.unnamed())
        return entryOf(modelClass, "", Outcome::Unnamed);
    if (modelClass.name.find('\0') != std::string::npos)
        return entryOf(modelClass, "", Outcome::NulInName);

    ModelNode root(ModelNode::kModelKind, "", "", model);
    // One node a level, each with its own name and the path before it as a
    // view of the class's path; one block for them all, since this runs for
    // every class of a model.
    const std::string& package = modelClass.package;
    const std::size_t levels = package.empty() ? 0 : 1 + std::count(package.begin(), package.end(), '.');
    std::vector<ModelNode> packages;
    packages.reserve(levels);
    root.visits.reserve(levels + 1);
    for (std::size_t start = 0; start < package.size() || packages.size() < levels;) {
        const std::size_t dot = std::min(package.find('.', start), package.size());
        const std::string_view outer(package.data(), start == 0 ? 0 : start - 1);
        packages.emplace_back(static_cast<int>(ModelNode::kPackageKind),
                              std::string_view(package).substr(start, dot - start), outer, model);
        root.visits.push_back(&packages.back());
        start = dot + 1;
    }
    ModelNode classNode(ModelNode::kClassKind, modelClass.name, modelClass.package, model);
    root.visits.push_back(&classNode);

    converter.reset();
    converter.convert(&root);

    const Outcome outcome = outcomeOf(classNode);
    return entryOf(modelClass, std::move(classNode.tableName), outcome);
}

} // namespace wiredhost
