#include "WarningCapture.h"

#include <cstring>

#include <windows.h>

namespace hostkit {

namespace {

// The recorder is called through the plug-in's import table, so what it
// records lives outside any object: one capture at a time.
std::vector<Warning>* recording = nullptr;

int WINAPI recordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    if (recording != nullptr) {
        Warning warning;
        warning.caption = caption != nullptr ? caption : "";
        warning.text = text != nullptr ? text : "";
        warning.wellFormed = owner == nullptr && style == MB_ICONWARNING;
        recording->push_back(warning);
    }
    return IDOK;
}

bool isMessageBoxA(BYTE* base, const IMAGE_THUNK_DATA& name)
{
    if (IMAGE_SNAP_BY_ORDINAL(name.u1.Ordinal))
        return false;
    const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name.u1.AddressOfData);
    return std::strcmp(reinterpret_cast<const char*>(byName->Name), "MessageBoxA") == 0;
}

// The import address table slot through which module calls
// USER32!MessageBoxA, or null when it imports no such function. The names
// are in the lookup table; a module linked without one has only the bound
// addresses left, so there the slot holding MessageBoxA's address is taken.
FARPROC* messageBoxSlot(HMODULE module)
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
    const FARPROC real = user32 != nullptr ? GetProcAddress(user32, "MessageBoxA") : nullptr;
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
            if (isMessageBoxA(base, *names))
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

struct WarningCapture::State {
    FARPROC* slot = nullptr;
    FARPROC original = nullptr;
    std::vector<Warning> warnings;
};

std::ostream& operator<<(std::ostream& out, const Warning& warning)
{
    return out << "box caption \"" << warning.caption << "\" text \"" << warning.text << '"'
               << (warning.wellFormed ? "" : " (with an owner or another style)");
}

WarningCapture::WarningCapture(void* module) : state_(new State)
{
    FARPROC* slot = messageBoxSlot(static_cast<HMODULE>(module));
    if (slot == nullptr)
        return;
    state_->original = *slot;
    if (writeSlot(slot, reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&recordMessageBox)))) {
        state_->slot = slot;
        recording = &state_->warnings;
    }
}

WarningCapture::~WarningCapture()
{
    finish();
    delete state_;
}

bool WarningCapture::active() const
{
    return state_->slot != nullptr;
}

std::vector<Warning> WarningCapture::finish()
{
    if (state_->slot != nullptr) {
        writeSlot(state_->slot, state_->original);
        state_->slot = nullptr;
        recording = nullptr;
    }
    std::vector<Warning> warnings;
    warnings.swap(state_->warnings);
    return warnings;
}

} // namespace hostkit
