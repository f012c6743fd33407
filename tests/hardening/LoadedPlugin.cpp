#include "LoadedPlugin.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <dlfcn.h>

namespace hardening {

namespace fs = std::filesystem;

LoadedPlugin::LoadedPlugin(const std::string& configXml)
{
    std::string pattern = (fs::temp_directory_path() / "wiredClsTab-hardening-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a temporary directory");
    directory_ = pattern;
    const fs::path library = fs::path(directory_) / fs::path(WIREDCLSTAB_PLUGIN_PATH).filename();
    fs::copy_file(WIREDCLSTAB_PLUGIN_PATH, library);
    writeConfig(configXml);

    // Never closed: converters made by this copy stay usable to the end, as
    // in a host, which keeps a plug-in loaded while its converters live.
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        throw std::runtime_error(std::string("dlopen: ") + dlerror());
    registConvert_ = reinterpret_cast<RegistConvertFn>(dlsym(handle, "registConvert"));
    if (registConvert_ == nullptr)
        throw std::runtime_error("registConvert not exported");
}

LoadedPlugin::~LoadedPlugin()
{
    std::error_code ignored;
    fs::remove_all(directory_, ignored);
}

kavri::IConvert* LoadedPlugin::registConvert(kavri::IHost* host) const
{
    return registConvert_(host);
}

kavri::IConvert* LoadedPlugin::create(kavri::IHost* host) const
{
    kavri::IConvert* converter = registConvert_(host);
    keep(converter);
    return converter;
}

std::string LoadedPlugin::configPath() const
{
    return (fs::path(directory_) / "config.xml").string();
}

void LoadedPlugin::writeConfig(const std::string& configXml) const
{
    std::ofstream out(configPath(), std::ios::binary | std::ios::trunc);
    out.write(configXml.data(), static_cast<std::streamsize>(configXml.size()));
    if (!out)
        throw std::runtime_error("cannot write " + configPath());
}

void LoadedPlugin::keep(kavri::IConvert* converter)
{
    // Deliberately never destroyed (see the header).
    static auto* living = new std::vector<kavri::IConvert*>();
    living->push_back(converter);
}

} // namespace hardening
