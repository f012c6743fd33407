#include "Plugin.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace e2e {

namespace {

Plugin* current = nullptr;

} // namespace

Plugin::Plugin(const PluginLoader& loader, WarningSpy& spy) : loader_(loader), spy_(spy)
{
    current = this;
}

Plugin::~Plugin()
{
    current = nullptr;
}

Plugin& Plugin::instance()
{
    if (current == nullptr)
        throw std::logic_error("the plug-in is not loaded");
    return *current;
}

std::string Plugin::configPath() const
{
    return loader_.folder() + PluginLoader::separator() + "config.xml";
}

void Plugin::writeConfig(const std::string& content) const
{
    removeConfig();
    std::ofstream file(configPath(), std::ios::binary | std::ios::trunc);
    file << content;
    file.close();
    if (!file)
        throw std::runtime_error("cannot write " + configPath());
}

void Plugin::removeConfig() const
{
    std::filesystem::remove_all(configPath());
}

void Plugin::makeConfigDirectory() const
{
    removeConfig();
    std::filesystem::create_directory(configPath());
}

Creation Plugin::create(kavri::IHost& host) const
{
    spy_.start();
    kavri::IConvert* converter = nullptr;
    try {
        converter = loader_.registConvert()(&host);
    } catch (...) {
        spy_.stop();
        throw;
    }
    return {converter, spy_.stop()};
}

} // namespace e2e
