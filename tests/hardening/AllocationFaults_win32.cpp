#include "AllocationFaults.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

#include <windows.h>

#include "ImportPatch.h"

using hostkit::ImportPatch;

namespace {

// Plain globals: the tests are single-threaded and the library starts no
// thread. One FailingAllocation at a time.
bool armed = false;
long countdown = 0;
long counted = 0;
bool hasFired = false;
ImportPatch mallocImport;

using Malloc = void*(__cdecl*)(std::size_t);

// What operator new asks for its memory. A null answer makes it throw
// std::bad_alloc (there is no new-handler), and its nothrow form give null.
void* __cdecl failingMalloc(std::size_t size)
{
    if (armed) {
        ++counted;
        if (--countdown == 0) {
            armed = false;
            hasFired = true;
            return nullptr;
        }
    }
    return reinterpret_cast<Malloc>(mallocImport.original())(size);
}

bool startsWith(const std::string& text, const char* head)
{
    return text.compare(0, std::char_traits<char>::length(head), head) == 0;
}

// The module whose operator new the plug-in calls: the C++ runtime DLL it
// imports operator new from (libstdc++-6.dll in the mingw builds), or the
// plug-in itself when operator new is linked into it.
HMODULE operatorNewModule(void* plugin)
{
    std::string runtime;
    for (const ImportPatch::Import& import : ImportPatch::importsOf(plugin)) {
        const bool newForm = startsWith(import.function, "_Znw") || startsWith(import.function, "_Zna") ||
                             startsWith(import.function, "??2@") || startsWith(import.function, "??_U@");
        if (!newForm)
            continue;
        // The aligned forms take their memory from elsewhere (_aligned_malloc).
        if (import.function.find("align_val_t") != std::string::npos)
            throw std::runtime_error("the plug-in imports the aligned " + import.function + ", which fails no allocation here");
        runtime = import.library;
    }
    if (runtime.empty())
        return static_cast<HMODULE>(plugin);
    HMODULE module = GetModuleHandleA(runtime.c_str());
    if (module == nullptr)
        throw std::runtime_error(runtime + ", the plug-in's C++ runtime, is not loaded");
    return module;
}

} // namespace

namespace hardening {

FailingAllocation::FailingAllocation(long nth, void* plugin)
{
    if (plugin == nullptr)
        throw std::runtime_error("no plug-in to fail allocations in");
    if (!mallocImport.apply(operatorNewModule(plugin), "malloc", reinterpret_cast<void*>(&failingMalloc)))
        throw std::runtime_error("the plug-in's operator new takes no memory from an imported malloc");
    countdown = nth;
    counted = 0;
    hasFired = false;
    armed = true;
}

FailingAllocation::~FailingAllocation()
{
    armed = false;
    mallocImport.undo();
}

bool FailingAllocation::fired() const
{
    return hasFired;
}

long FailingAllocation::allocations() const
{
    return counted;
}

} // namespace hardening
