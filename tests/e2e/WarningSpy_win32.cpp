#include "WarningSpy.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include <windows.h>

namespace e2e {

namespace {

// The recorder is called through the plug-in's import table, so what it
// records lives outside any object.
std::vector<std::string> recorded;

std::string describe(bool hasOwner, UINT style, const char* caption, const char* text)
{
    char styleText[16];
    std::snprintf(styleText, sizeof styleText, "0x%X", style);
    return std::string("owner=") + (hasOwner ? "window" : "none") + " style=" + styleText +
           " caption=" + (caption != nullptr ? caption : "(null)") + " text=" + (text != nullptr ? text : "(null)");
}

int WINAPI recordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    recorded.push_back(describe(owner != nullptr, style, caption, text));
    return IDOK;
}

// The import address table slot through which module calls dll!function,
// found by name through the import lookup table.
void** importSlot(HMODULE module, const char* dll, const char* function)
{
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return nullptr;
    auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; descriptor->Name != 0; ++descriptor) {
        if (_stricmp(reinterpret_cast<const char*>(base + descriptor->Name), dll) != 0)
            continue;
        if (descriptor->OriginalFirstThunk == 0)
            return nullptr;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

} // namespace

struct WarningSpy::Recording {};

WarningSpy::WarningSpy(void* module)
{
    void** slot = importSlot(static_cast<HMODULE>(module), "USER32.dll", "MessageBoxA");
    if (slot == nullptr)
        throw std::runtime_error("the plug-in does not import USER32.dll!MessageBoxA by name");
    DWORD protection = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection))
        throw std::runtime_error("VirtualProtect on the plug-in's import table failed");
    *slot = reinterpret_cast<void*>(&recordMessageBox);
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

// The patched slot goes away with the module when it is unloaded.
WarningSpy::~WarningSpy() = default;

void WarningSpy::start()
{
    recorded.clear();
}

std::vector<std::string> WarningSpy::stop()
{
    std::vector<std::string> result;
    result.swap(recorded);
    return result;
}

std::string WarningSpy::expected(const std::string& caption, const std::string& text)
{
    return describe(false, MB_ICONWARNING, caption.c_str(), text.c_str());
}

} // namespace e2e
