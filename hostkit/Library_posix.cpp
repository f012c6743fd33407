#include "Library.h"

#include <dlfcn.h>

namespace hostkit {

void* Library::openModule(const std::string& path, std::string& error)
{
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : path + ": cannot be loaded";
    }
    return module;
}

void* Library::findSymbol(void* module, const char* name)
{
    return dlsym(module, name);
}

void Library::closeModule(void* module)
{
    dlclose(module);
}

const char* Library::fileName()
{
    return "libwiredClsTab.so";
}

} // namespace hostkit
