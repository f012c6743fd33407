#include "PluginSession.h"

#include <filesystem>
#include <memory>
#include <random>
#include <system_error>

#include "ModelNode.h"

namespace fs = std::filesystem;

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

fs::path newPrivateFolder(std::error_code& error)
{
    std::random_device random;
    const fs::path base = fs::temp_directory_path(error);
    if (error)
        return {};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path folder = base / ("wired-host-" + std::to_string(random()));
        if (fs::create_directory(folder, error))
            return folder;
        if (error)
            return {};
    }
    error = std::make_error_code(std::errc::file_exists);
    return {};
}

} // namespace

PluginSession::~PluginSession()
{
    // A loaded library file cannot be removed on Windows: unload first.
    loader_.unload();
    if (!privateFolder_.empty()) {
        std::error_code ignored;
        fs::remove_all(privateFolder_, ignored);
    }
}

std::string PluginSession::defaultPluginPath()
{
    const fs::path folder = PluginLoader::executableDirectory();
    const fs::path beside = folder / PluginLoader::libraryFileName();
    // Installed on Linux: bin/wired-host and lib/wiredClsTab/libwiredClsTab.so.
    const fs::path installed = folder.parent_path() / "lib" / "wiredClsTab" / PluginLoader::libraryFileName();
    std::error_code error;
    if (!fs::exists(beside, error) && fs::exists(installed, error))
        return installed.string();
    return beside.string();
}

bool PluginSession::open(const std::string& pluginPath, const std::string& configFile, std::string& error)
{
    std::error_code failure;
    const fs::path plugin = fs::absolute(pluginPath.empty() ? defaultPluginPath() : pluginPath, failure);
    if (failure || !fs::is_regular_file(plugin, failure)) {
        error = plugin.string() + ": no plug-in there (use --plugin PATH)";
        return false;
    }
    source_ = plugin.string();
    if (configFile.empty()) {
        loaded_ = plugin.string();
        configPath_ = (plugin.parent_path() / "config.xml").string();
    } else if (!makePrivateCopy(plugin.string(), configFile, error)) {
        return false;
    }
    return loader_.load(loaded_, error);
}

bool PluginSession::makePrivateCopy(const std::string& plugin, const std::string& configFile, std::string& error)
{
    std::error_code failure;
    if (!fs::is_regular_file(configFile, failure)) {
        error = configFile + ": cannot read the config file";
        return false;
    }
    const fs::path folder = newPrivateFolder(failure);
    if (failure) {
        error = "cannot make a temporary folder: " + failure.message();
        return false;
    }
    privateFolder_ = folder.string();
    const fs::path copy = folder / fs::path(plugin).filename();
    const fs::path config = folder / "config.xml";
    if (!fs::copy_file(plugin, copy, failure) || !fs::copy_file(configFile, config, failure)) {
        error = "cannot copy the plug-in to " + folder.string() + ": " + failure.message();
        return false;
    }
    loaded_ = copy.string();
    configPath_ = config.string();
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
