#ifndef HOSTKIT_LIBRARY_H
#define HOSTKIT_LIBRARY_H

#include <string>

#include "kavri/IConvert.h"

namespace hostkit {

// The plug-in's library loaded at run time, as a modelling host loads it
// (LoadLibrary and GetProcAddress, or dlopen and dlsym); hosts never link
// it. The system calls are in one file per platform: Library_win32.cpp,
// Library_posix.cpp.
class Library {
public:
    Library() = default;
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // False with the loader's own explanation in error when the file cannot
    // be loaded or does not export registConvert. path is used as given,
    // in the encoding of files::.
    bool load(const std::string& path, std::string& error);
    // Takes over a module the host loaded itself (on Windows, one whose
    // path only the wide calls can name), as load() would have loaded it:
    // false with a message in error, and the module released, when it does
    // not export registConvert.
    bool adopt(void* module, std::string& error);
    // Only once no converter of the library is used any more.
    void unload();

    bool loaded() const { return module_ != nullptr; }
    // The operating system's handle of the loaded module.
    void* module() const { return module_; }
    RegistConvertFn registConvert() const { return factory_; }

    // The plug-in's file name on this platform.
    static const char* fileName();

private:
    // The system's loader: null with its explanation in error on failure.
    static void* openModule(const std::string& path, std::string& error);
    static void* findSymbol(void* module, const char* name);
    static void closeModule(void* module);

    void* module_ = nullptr;
    RegistConvertFn factory_ = nullptr;
};

} // namespace hostkit

#endif
