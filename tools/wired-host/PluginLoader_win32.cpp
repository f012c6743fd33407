#include "PluginLoader.h"

#include <cstring>

#include <windows.h>

namespace wiredhost {

namespace {

std::vector<WarningEntry>* warningSink = nullptr;

// Stands in for MessageBoxA while registConvert runs: records the box and
// answers OK at once, as a user would.
int WINAPI recordWarning(HWND, LPCSTR text, LPCSTR caption, UINT)
{
    if (warningSink != nullptr)
        warningSink->push_back({caption != nullptr ? caption : "", text != nullptr ? text : ""});
    return IDOK;
}

// The slot of the module's import table through which it calls
// user32's MessageBoxA, or null when it imports no such function.
FARPROC* messageBoxSlot(HMODULE module)
{
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0)
        return nullptr;
    auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
    for (; import->Name != 0; ++import) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + import->Name), "user32.dll") != 0)
            continue;
        const DWORD lookup = import->OriginalFirstThunk != 0 ? import->OriginalFirstThunk : import->FirstThunk;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + lookup);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<char*>(byName->Name), "MessageBoxA") == 0)
                return reinterpret_cast<FARPROC*>(&slots->u1.Function);
        }
    }
    return nullptr;
}

void writeSlot(FARPROC* slot, FARPROC value)
{
    DWORD old = 0;
    if (VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) {
        *slot = value;
        VirtualProtect(slot, sizeof *slot, old, &old);
    }
}

// The plug-in's warning boxes are modal. While registConvert runs, its import
// of MessageBoxA points at recordWarning, so the tool reports them instead.
class WarningHook {
public:
    WarningHook(HMODULE module, std::vector<WarningEntry>& warnings) : slot_(messageBoxSlot(module))
    {
        if (slot_ != nullptr) {
            original_ = *slot_;
            writeSlot(slot_, reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&recordWarning)));
        }
        warningSink = &warnings;
    }

    ~WarningHook()
    {
        warningSink = nullptr;
        if (slot_ != nullptr)
            writeSlot(slot_, original_);
    }

private:
    FARPROC* slot_;
    FARPROC original_ = nullptr;
};

std::string lastErrorText()
{
    const DWORD code = GetLastError();
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = text != nullptr ? text : "";
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message + " (error " + std::to_string(code) + ")";
}

} // namespace

PluginLoader::~PluginLoader()
{
    unload();
}

bool PluginLoader::load(const std::string& path, std::string& error)
{
    unload();
    // No system dialog for a missing dependency: the error is reported here.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) {
        error = path + ": cannot be loaded: " + lastErrorText();
        return false;
    }
    module_ = module;
    FARPROC symbol = GetProcAddress(module, "registConvert");
    if (symbol == nullptr) {
        error = path + ": does not export registConvert";
        unload();
        return false;
    }
    factory_ = reinterpret_cast<RegistConvertFn>(reinterpret_cast<void*>(symbol));
    return true;
}

void PluginLoader::unload()
{
    if (module_ != nullptr)
        FreeLibrary(static_cast<HMODULE>(module_));
    module_ = nullptr;
    factory_ = nullptr;
}

kavri::IConvert* PluginLoader::create(kavri::IHost& host, std::vector<WarningEntry>& warnings)
{
    WarningHook hook(static_cast<HMODULE>(module_), warnings);
    return factory_(&host);
}

const char* PluginLoader::libraryFileName()
{
    return "wiredClsTab.dll";
}

} // namespace wiredhost
