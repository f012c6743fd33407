#include <filesystem>
#include <fstream>
#include <string>

#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "LoadedPlugin.h"
#include "RecordingHost.h"

using hardening::LoadedPlugin;
using kavri_test::LinkCall;
using kavri_test::RecordingHost;

namespace fs = std::filesystem;

namespace {

// A directory of its own holding a copy of the plug-in and a config.xml
// with one link, named after the directory so the test sees which was read.
struct PluginFolder {
    fs::path path;

    explicit PluginFolder(const std::string& name)
    {
        std::string pattern = (fs::temp_directory_path() / ("wiredClsTab-" + name + "-XXXXXX")).string();
        path = mkdtemp(pattern.data());
        fs::copy_file(WIREDCLSTAB_PLUGIN_PATH, path / "libwiredClsTab.so");
        std::ofstream(path / "config.xml") << "<Wired><Link class=\"" << name << "\" table=\"T\"/></Wired>";
    }
    ~PluginFolder() { fs::remove_all(path); }
};

std::vector<LinkCall> linksFrom(void* library)
{
    EXPECT_NE(nullptr, library) << dlerror();
    auto regist = reinterpret_cast<RegistConvertFn>(dlsym(library, "registConvert"));
    RecordingHost host;
    LoadedPlugin::keep(regist(&host));
    return host.links;
}

// Loaded by a relative path, the plug-in still finds its own folder after
// the host has changed its working directory.
TEST(ModulePath, ARelativeLoadPathFindsTheConfigAfterTheDirectoryChanges)
{
    PluginFolder folder("relative");
    const fs::path before = fs::current_path();
    fs::current_path(folder.path);
    void* library = dlopen("./libwiredClsTab.so", RTLD_NOW | RTLD_LOCAL);
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
        void* library = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
        fs::current_path(before);
        EXPECT_EQ(std::vector<LinkCall>({{"target", "T"}}), linksFrom(library));
    }
}

} // namespace
