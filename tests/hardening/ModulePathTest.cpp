#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include "Files.h"
#include "Library.h"
#include "PluginInstance.h"
#include "RecordingHost.h"

using hostkit::Library;
using hostkit::PluginInstance;
using kavri_test::LinkCall;
using kavri_test::RecordingHost;

namespace fs = std::filesystem;

namespace {

// A directory of its own holding a copy of the plug-in and a config.xml
// with one link, named after the directory so the test sees which was read.
// The copy is not loaded yet: each test loads it by a path of its own.
struct PluginFolder {
    fs::path path;

    explicit PluginFolder(const std::string& name)
    {
        path = hostkit::files::makeTemporaryFolder("wiredClsTab-" + name);
        hostkit::files::copyFile(WIREDCLSTAB_PLUGIN_PATH, path / Library::fileName());
        hostkit::files::writeFile(path / "config.xml", "<Wired><Link class=\"" + name + "\" table=\"T\"/></Wired>");
    }
    ~PluginFolder() { hostkit::files::removeAll(path); }
};

// The library loaded by name, as given. It stays loaded, as its converters
// do.
const Library* loadAs(const fs::path& name)
{
    static std::vector<std::unique_ptr<Library>> loaded;
    loaded.push_back(std::make_unique<Library>());
    std::string error;
    EXPECT_TRUE(loaded.back()->load(name, error)) << error;
    return loaded.back().get();
}

// The links that a converter of the library registered.
std::vector<LinkCall> linksFrom(const Library* library)
{
    if (!library->loaded())
        return {};
    RecordingHost host;
    PluginInstance::keep(library->registConvert()(&host));
    return host.links;
}

// Loaded by a relative path, the plug-in still finds its own folder after
// the host has changed its working directory.
TEST(ModulePath, ARelativeLoadPathFindsTheConfigAfterTheDirectoryChanges)
{
    PluginFolder folder("relative");
    const fs::path before = fs::current_path();
    fs::current_path(folder.path);
    const Library* library = loadAs("./libwiredClsTab.so");
    fs::current_path(before);
    EXPECT_EQ(std::vector<LinkCall>({{"relative", "T"}}), linksFrom(library));
}

// Loaded through a link from another folder, by an absolute or a relative
// path, the configuration is the one beside the library's own file.
TEST(ModulePath, ALinkedLoadPathReadsTheConfigBesideTheLibraryItself)
{
    for (bool relative : {false, true}) {
        SCOPED_TRACE(relative ? "relative" : "absolute");
        PluginFolder target("target");
        PluginFolder linked("linked");
        fs::remove(linked.path / "libwiredClsTab.so");
        fs::create_symlink(target.path / "libwiredClsTab.so", linked.path / "libwiredClsTab.so");
        // The loader takes a name it has loaded before for the same library,
        // so the relative path names the fresh folder.
        const fs::path before = fs::current_path();
        fs::current_path(linked.path.parent_path());
        const fs::path name = relative ? fs::path(".") / linked.path.filename() / "libwiredClsTab.so"
                                       : linked.path / "libwiredClsTab.so";
        const Library* library = loadAs(name);
        fs::current_path(before);
        EXPECT_EQ(std::vector<LinkCall>({{"target", "T"}}), linksFrom(library));
    }
}

} // namespace

namespace {

// A library in the root directory reads /config.xml. Needs a root directory
// the test may write to and that holds no config.xml of its own.
TEST(ModulePath, ALibraryInTheRootDirectoryReadsTheConfigThere)
{
    const fs::path library = "/libwiredClsTab-root-test.so";
    const fs::path config = "/config.xml";
    if (fs::exists(config) || access("/", W_OK) != 0)
        GTEST_SKIP() << "the root directory is not free to write config.xml into";
    hostkit::files::copyFile(WIREDCLSTAB_PLUGIN_PATH, library);
    hostkit::files::writeFile(config, "<Wired><Link class=\"root\" table=\"T\"/></Wired>");
    const Library* loaded = loadAs(library);
    const std::vector<LinkCall> links = linksFrom(loaded);
    hostkit::files::removeFile(config);
    hostkit::files::removeFile(library);
    EXPECT_EQ(std::vector<LinkCall>({{"root", "T"}}), links);
}

} // namespace
