#include "PluginInstance.h"

#include <stdexcept>

#include "Files.h"
#include "Interrupt.h"

namespace hostkit {

PluginInstance::~PluginInstance()
{
    // A loaded library's file cannot be removed on Windows: unload first.
    // Kept loaded, the library is never let go, and the folder goes as far
    // as the system lets it.
    if (!keepLoaded_) {
        delete loaded_;
    } else {
        static auto* kept = new std::vector<Library*>();
        kept->push_back(loaded_);
    }
    if (!privateFolder_.empty())
        files::removeAll(privateFolder_);
}

bool PluginInstance::open(const std::string& path, std::string& error)
{
    library_ = files::absolute(path);
    if (!files::isFile(library_)) {
        error = library_ + ": no plug-in there";
        return false;
    }
    return loaded_->load(library_, error);
}

bool PluginInstance::openCopy(const std::string& path, std::string& error)
{
    const std::string source = files::absolute(path);
    if (!files::isFile(source)) {
        error = source + ": no plug-in there";
        return false;
    }
    // From here on a Ctrl-C would leave the folder behind: it asks for a
    // stop at the program's next safe point instead.
    interrupt::catchRequests();
    files::removeLeftTemporaryFolders("wiredClsTab", Library::fileName());
    privateFolder_ = files::makeTemporaryFolder("wiredClsTab");
    if (privateFolder_.empty()) {
        error = "cannot make a private folder for the plug-in";
        return false;
    }
    // Named as the plug-in is built, whatever the original's name.
    library_ = files::join(privateFolder_, Library::fileName());
    if (!files::copyFile(source, library_)) {
        error = "cannot copy " + source + " to " + privateFolder_;
        return false;
    }
    return loaded_->load(library_, error);
}

void PluginInstance::requireCopy(PluginInstance& instance, const std::string& path, const std::string& configXml)
{
    std::string error;
    if (!instance.openCopy(path, error))
        throw std::runtime_error(error);
    instance.writeConfig(configXml);
}

std::string PluginInstance::folder() const
{
    return privateFolder_.empty() ? files::folderOf(library_) : privateFolder_;
}

std::string PluginInstance::configPath() const
{
    return files::join(folder(), "config.xml");
}

void PluginInstance::writeConfig(const std::string& bytes) const
{
    if (!files::writeFile(configPath(), bytes))
        throw std::runtime_error("cannot write " + configPath());
}

void PluginInstance::copyConfig(const std::string& file) const
{
    removeConfig();
    if (!files::copyFile(file, configPath()))
        throw std::runtime_error("cannot copy " + file + " to " + configPath());
}

void PluginInstance::removeConfig() const
{
    files::removeAll(configPath());
}

void PluginInstance::makeConfigDirectory() const
{
    removeConfig();
    if (!files::makeFolder(configPath()))
        throw std::runtime_error("cannot make the folder " + configPath());
}

Creation PluginInstance::create(kavri::IHost& host) const
{
    Creation creation;
    WarningCapture capture(loaded_->module());
    // Destroyed on the way out of an exception too, which ends the capture.
    creation.converter = loaded_->registConvert()(&host);
    creation.warnings = capture.finish();
    keep(creation.converter);
    return creation;
}

kavri::IConvert* PluginInstance::registConvert(kavri::IHost& host) const
{
    return loaded_->registConvert()(&host);
}

void PluginInstance::keep(kavri::IConvert* converter)
{
    // Deliberately never destroyed (see the class comment).
    static auto* living = new std::vector<kavri::IConvert*>();
    if (converter != nullptr)
        living->push_back(converter);
}

} // namespace hostkit
