#include "PluginSession.h"

#include <algorithm>
#include <memory>

#include "Files.h"
#include "HostFlavour.h"
#include "ModelNode.h"
#include "PeImage.h"
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

// A plug-in of another flavour than this program takes strings and
// exceptions in the forms of another C++ runtime: loaded, it answers
// nonsense ("nothing done" for every class) or crashes. Its image tells its
// flavour by the runtime it imports, as a host's tells which flavour fits
// it (which). An image that names no C++ runtime, or none at all, is left
// to the loader and to the look-up of registConvert to judge.
bool sameFlavourAsThisProgram(const std::string& plugin, std::string& error)
{
#ifdef _WIN32
    std::string bytes;
    PeImage image;
    std::string unread;
    if (!hostkit::files::readFile(plugin, bytes, 256u << 20) || !image.read(bytes, unread))
        return true;
#ifdef _MSC_VER
    const bool msvc = true;
#else
    const bool msvc = false;
#endif
    const std::string own = HostFlavour::flavourName(sizeof(void*) == 8, msvc);
    const HostVerdict verdict = HostFlavour::judge(image, nullptr);
    if (!verdict.fits() || verdict.flavour == own)
        return true;
    const bool win64 = verdict.flavour.compare(0, 5, "win64") == 0;
    const std::string why =
        win64 != (sizeof(void*) == 8)
            ? std::string("a ") + (win64 ? "64" : "32") + "-bit DLL, which a " + (win64 ? "32" : "64") +
                  "-bit program cannot load"
            : "strings would pass between them in the forms of two different C++ runtimes (" + verdict.runtime +
                  " and " + HostFlavour::runtimeName(msvc) + ")";
    error = plugin + ": the plug-in of the " + verdict.flavour + " flavour, and this wired-host is of the " + own +
            " one: " + why + ". Run the wired-host beside that plug-in (each folder of the package has its own), "
            "or give the " + own + " plug-in";
    return false;
#else
    (void)plugin;
    (void)error;
    return true;
#endif
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
    if (!sameFlavourAsThisProgram(plugin_, error))
        return false;
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
    // view of the class's path.
    std::vector<ModelNode>& packages = packageNodes_;
    const std::string& package = modelClass.package;
    const std::size_t levels = package.empty() ? 0 : 1 + std::count(package.begin(), package.end(), '.');
    packages.clear();
    packages.reserve(levels);
    root.visits.swap(visits_);
    root.visits.clear();
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
    root.visits.swap(visits_);

    const Outcome outcome = outcomeOf(classNode);
    return entryOf(modelClass, std::move(classNode.tableName), outcome);
}

} // namespace wiredhost
