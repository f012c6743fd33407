#include "PluginLoader.h"

#include <cstdlib>
#include <cstdio>
#include <cstring>

#include <dlfcn.h>
#include <unistd.h>

namespace wiredhost {

namespace {

// The POSIX plug-in shows a warning as one line "<caption>: <text>" on
// standard error. Standard error goes to a scratch file while the plug-in
// runs, and each line becomes a warning.
class StderrCapture {
public:
    StderrCapture() : file_(std::tmpfile())
    {
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        if (file_ != nullptr && saved_ >= 0)
            dup2(fileno(file_), STDERR_FILENO);
    }

    ~StderrCapture()
    {
        restore();
        if (file_ != nullptr)
            std::fclose(file_);
    }

    void collect(std::vector<WarningEntry>& warnings)
    {
        restore();
        if (file_ == nullptr)
            return;
        std::rewind(file_);
        char* line = nullptr;
        std::size_t capacity = 0;
        ssize_t length;
        while ((length = getline(&line, &capacity, file_)) > 0) {
            std::string text(line, static_cast<std::size_t>(length));
            if (text.back() == '\n')
                text.pop_back();
            const std::size_t colon = text.find(": ");
            if (colon == std::string::npos)
                warnings.push_back({text, ""});
            else
                warnings.push_back({text.substr(0, colon), text.substr(colon + 2)});
        }
        std::free(line);
    }

private:
    void restore()
    {
        if (saved_ < 0)
            return;
        std::fflush(stderr);
        dup2(saved_, STDERR_FILENO);
        close(saved_);
        saved_ = -1;
    }

    std::FILE* file_;
    int saved_ = -1;
};

} // namespace

PluginLoader::~PluginLoader()
{
    unload();
}

bool PluginLoader::load(const std::string& path, std::string& error)
{
    unload();
    module_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module_ == nullptr) {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : path + ": cannot be loaded";
        return false;
    }
    void* symbol = dlsym(module_, "registConvert");
    if (symbol == nullptr) {
        error = path + ": does not export registConvert";
        unload();
        return false;
    }
    factory_ = reinterpret_cast<RegistConvertFn>(symbol);
    return true;
}

void PluginLoader::unload()
{
    if (module_ != nullptr)
        dlclose(module_);
    module_ = nullptr;
    factory_ = nullptr;
}

kavri::IConvert* PluginLoader::create(kavri::IHost& host, std::vector<WarningEntry>& warnings)
{
    StderrCapture capture;
    kavri::IConvert* converter = factory_(&host);
    capture.collect(warnings);
    return converter;
}

const char* PluginLoader::libraryFileName()
{
    return "libwiredClsTab.so";
}

} // namespace wiredhost
