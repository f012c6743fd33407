#include "Library.h"

#include <dlfcn.h>

namespace hostkit {

Library::~Library()
{
    unload();
}

bool Library::load(const std::string& path, std::string& error)
{
    unload();
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : path + ": cannot be loaded";
        return false;
    }
    if (!adopt(module, error)) {
        error = path + ": does not export registConvert";
        return false;
    }
    return true;
}

bool Library::adopt(void* module, std::string& error)
{
    unload();
    module_ = module;
    void* symbol = dlsym(module_, "registConvert");
    if (symbol == nullptr) {
        error = "the module does not export registConvert";
        unload();
        return false;
    }
    factory_ = reinterpret_cast<RegistConvertFn>(symbol);
    return true;
}

void Library::unload()
{
    if (module_ != nullptr)
        dlclose(module_);
    module_ = nullptr;
    factory_ = nullptr;
}

const char* Library::fileName()
{
    return "libwiredClsTab.so";
}

} // namespace hostkit
