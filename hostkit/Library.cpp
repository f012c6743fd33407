#include "Library.h"

namespace hostkit {

Library::~Library()
{
    unload();
}

bool Library::load(const std::string& path, std::string& error)
{
    unload();
    void* module = openModule(path, error);
    if (module == nullptr)
        return false;
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
    void* symbol = findSymbol(module_, "registConvert");
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
        closeModule(module_);
    module_ = nullptr;
    factory_ = nullptr;
}

} // namespace hostkit
