#include "WarningCapture.h"

#include <cstring>
#include <string>

#include <windows.h>

namespace hostkit {

namespace {

// The recorder is called through the plug-in's import table, so what it
// records lives outside any object: one capture at a time.
std::vector<Warning>* recording = nullptr;

void record(HWND owner, std::string caption, std::string text, UINT style)
{
    if (recording == nullptr)
        return;
    Warning warning;
    warning.caption = std::move(caption);
    warning.text = std::move(text);
    warning.wellFormed = owner == nullptr && style == MB_ICONWARNING;
    recording->push_back(warning);
}

int WINAPI recordMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    record(owner, caption != nullptr ? caption : "", text != nullptr ? text : "", style);
    return IDOK;
}

std::string utf8(const wchar_t* text)
{
    if (text == nullptr)
        return std::string();
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(length > 0 ? static_cast<std::size_t>(length) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &bytes[0], length, nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    return bytes;
}

// A wide box's texts are recorded in UTF-8.
int WINAPI recordMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style)
{
    record(owner, utf8(caption), utf8(text), style);
    return IDOK;
}

bool isNamed(BYTE* base, const IMAGE_THUNK_DATA& name, const char* function)
{
    if (IMAGE_SNAP_BY_ORDINAL(name.u1.Ordinal))
        return false;
    const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name.u1.AddressOfData);
    return std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0;
}

// The import address table slot through which module calls
// USER32!function, or null when it imports no such function. The names are
// in the lookup table; a module linked without one has only the bound
// addresses left, so there the slot holding the function's address is taken.
FARPROC* importSlot(HMODULE module, const char* function)
{
    if (module == nullptr)
        return nullptr;
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return nullptr;
    HMODULE user32 = GetModuleHandleA("user32.dll");
    const FARPROC real = user32 != nullptr ? GetProcAddress(user32, function) : nullptr;
    auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; descriptor->Name != 0; ++descriptor) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + descriptor->Name), "user32.dll") != 0)
            continue;
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        if (descriptor->OriginalFirstThunk == 0) {
            for (; slots->u1.Function != 0; ++slots) {
                if (real != nullptr && reinterpret_cast<FARPROC>(slots->u1.Function) == real)
                    return reinterpret_cast<FARPROC*>(&slots->u1.Function);
            }
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (isNamed(base, *names, function))
                return reinterpret_cast<FARPROC*>(&slots->u1.Function);
        }
    }
    return nullptr;
}

bool writeSlot(FARPROC* slot, FARPROC value)
{
    DWORD protection = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection))
        return false;
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
    return true;
}

} // namespace

struct Patch {
    FARPROC* slot = nullptr;
    FARPROC original = nullptr;

    void apply(HMODULE module, const char* function, FARPROC recorder)
    {
        FARPROC* found = importSlot(module, function);
        if (found == nullptr)
            return;
        original = *found;
        if (writeSlot(found, recorder))
            slot = found;
    }

    void undo()
    {
        if (slot != nullptr)
            writeSlot(slot, original);
        slot = nullptr;
    }
};

struct WarningCapture::State {
    // The narrow box, and the wide one the plug-in shows for a path that the
    // ANSI code page cannot spell.
    Patch narrow, wide;
    std::vector<Warning> warnings;
};

std::ostream& operator<<(std::ostream& out, const Warning& warning)
{
    return out << "box caption \"" << warning.caption << "\" text \"" << warning.text << '"'
               << (warning.wellFormed ? "" : " (with an owner or another style)");
}

WarningCapture::WarningCapture(void* module) : state_(new State)
{
    const auto handle = static_cast<HMODULE>(module);
    state_->narrow.apply(handle, "MessageBoxA", reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&recordMessageBoxA)));
    state_->wide.apply(handle, "MessageBoxW", reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&recordMessageBoxW)));
    recording = &state_->warnings;
}

WarningCapture::~WarningCapture()
{
    finish();
    delete state_;
}

bool WarningCapture::active() const
{
    return state_->narrow.slot != nullptr;
}

std::vector<Warning> WarningCapture::finish()
{
    state_->narrow.undo();
    state_->wide.undo();
    if (recording == &state_->warnings)
        recording = nullptr;
    std::vector<Warning> warnings;
    warnings.swap(state_->warnings);
    return warnings;
}

} // namespace hostkit
