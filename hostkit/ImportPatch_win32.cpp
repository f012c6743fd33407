#include "ImportPatch.h"

#include <cstring>
#include <functional>

#include <windows.h>

namespace hostkit {

namespace {

// One slot of a module's import address table: the DLL it imports from, the
// function's name (null for an import by ordinal, or where the module keeps
// no names) and the slot the module calls through.
struct Slot {
    const char* library;
    const char* function;
    FARPROC* address;
};

// Calls visit for every slot of the module's import table until it answers
// true.
void forEachSlot(HMODULE module, const std::function<bool(const Slot&)>& visit)
{
    if (module == nullptr)
        return;
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return;
    for (auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        const char* library = reinterpret_cast<const char*>(base + descriptor->Name);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        // Without a lookup table only the bound addresses are left.
        const auto* names = descriptor->OriginalFirstThunk != 0
                                ? reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk)
                                : nullptr;
        for (; slots->u1.Function != 0; ++slots) {
            const char* function = nullptr;
            if (names != nullptr) {
                if (!IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                    const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                    function = reinterpret_cast<const char*>(byName->Name);
                }
                ++names;
            }
            if (visit(Slot{library, function, reinterpret_cast<FARPROC*>(&slots->u1.Function)}))
                return;
        }
    }
}

// The slot through which module calls function, or null. Where the module
// keeps no names, the slot holding the function's address is taken.
FARPROC* findSlot(HMODULE module, const char* function, const char* library)
{
    FARPROC* found = nullptr;
    forEachSlot(module, [&](const Slot& slot) {
        if (library != nullptr && lstrcmpiA(slot.library, library) != 0)
            return false;
        if (slot.function != nullptr) {
            if (std::strcmp(slot.function, function) == 0)
                found = slot.address;
        } else {
            HMODULE exporter = GetModuleHandleA(slot.library);
            const FARPROC real = exporter != nullptr ? GetProcAddress(exporter, function) : nullptr;
            if (real != nullptr && *slot.address == real)
                found = slot.address;
        }
        return found != nullptr;
    });
    return found;
}

bool writeSlot(void** slot, void* value)
{
    DWORD protection = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection))
        return false;
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
    return true;
}

} // namespace

bool ImportPatch::apply(void* module, const char* function, void* replacement, const char* library)
{
    undo();
    void** found = reinterpret_cast<void**>(findSlot(static_cast<HMODULE>(module), function, library));
    if (found == nullptr)
        return false;
    void* original = *found;
    if (!writeSlot(found, replacement))
        return false;
    slot_ = found;
    original_ = original;
    return true;
}

void ImportPatch::undo()
{
    if (slot_ != nullptr)
        writeSlot(slot_, original_);
    slot_ = nullptr;
    original_ = nullptr;
}

std::vector<ImportPatch::Import> ImportPatch::importsOf(void* module)
{
    std::vector<Import> imports;
    forEachSlot(static_cast<HMODULE>(module), [&](const Slot& slot) {
        if (slot.function != nullptr)
            imports.push_back({slot.library, slot.function});
        return false;
    });
    return imports;
}

} // namespace hostkit
