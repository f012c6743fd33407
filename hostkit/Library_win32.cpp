#include "Library.h"

#include "Files.h"

#include <windows.h>

namespace hostkit {

namespace {

// The system's text for the last error, in UTF-8 like the path. Its
// messages name the file as %1 ("Bad EXE format for %1."), so the path is
// given as that argument.
std::string lastErrorText(const std::string& path)
{
    const DWORD code = GetLastError();
    const std::wstring widePath = files::widePath(path);
    wchar_t* text = nullptr;
    DWORD_PTR arguments[] = {reinterpret_cast<DWORD_PTR>(widePath.c_str())};
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                  nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0,
                                  reinterpret_cast<va_list*>(arguments));
    if (length == 0) {
        // A message whose inserts do not fit the one argument: take it raw.
        length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                    FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    }
    std::string message = length != 0 && text != nullptr ? files::utf8Path(std::wstring(text, length)) : "";
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    if (message.empty())
        message = "the system gave no text";
    return message + " (error " + std::to_string(code) + ")";
}

} // namespace

void* Library::openModule(const std::string& path, std::string& error)
{
    // No system dialog for a missing dependency: the error is reported here.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryW(files::widePath(path).c_str());
    const DWORD code = GetLastError();
    SetErrorMode(previous);
    if (module == nullptr) {
        SetLastError(code);
        error = path + ": cannot be loaded: " + lastErrorText(path);
    }
    return module;
}

void* Library::findSymbol(void* module, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void Library::closeModule(void* module)
{
    FreeLibrary(static_cast<HMODULE>(module));
}

const char* Library::fileName()
{
    return "wiredClsTab.dll";
}

} // namespace hostkit
