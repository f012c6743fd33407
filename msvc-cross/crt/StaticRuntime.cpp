// The part of Visual Studio's C++ runtime that is linked statically into
// every module rather than imported from a DLL: the global allocation
// functions, std::nothrow, the table every type_info record points at, the
// bounds of the initialiser sections, and a few symbols the compiler itself
// refers to. Memory comes from ucrtbase's malloc, the heap a /MD host
// uses, so an object allocated on one side can be released on the other.
#include <corecrt_startup.h>
#include <malloc.h>
#include <new>
#include <stdlib.h>
#include <typeinfo>

#include "StaticRuntime.h"

// ---- allocation ----------------------------------------------------------

// As Visual Studio's: ask the new-handler (through ucrtbase) until it gives
// up, then throw std::bad_alloc (or std::bad_array_new_length for an
// impossible size).
void* __cdecl operator new(size_t size)
{
    for (;;) {
        if (void* block = malloc(size))
            return block;
        if (_callnewh(size) == 0) {
            if (size == SIZE_MAX)
                throw std::bad_array_new_length();
            throw std::bad_alloc();
        }
    }
}

void* __cdecl operator new[](size_t size)
{
    return operator new(size);
}

void* __cdecl operator new(size_t size, std::nothrow_t const&) noexcept
{
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}

void* __cdecl operator new[](size_t size, std::nothrow_t const&) noexcept
{
    return operator new(size, std::nothrow);
}

void __cdecl operator delete(void* block) noexcept
{
    free(block);
}

void __cdecl operator delete[](void* block) noexcept
{
    free(block);
}

void __cdecl operator delete(void* block, std::nothrow_t const&) noexcept
{
    free(block);
}

void __cdecl operator delete[](void* block, std::nothrow_t const&) noexcept
{
    free(block);
}

void __cdecl operator delete(void* block, size_t) noexcept
{
    free(block);
}

void __cdecl operator delete[](void* block, size_t) noexcept
{
    free(block);
}

// Over-aligned objects: ucrtbase's aligned heap, as Visual Studio does.
void* __cdecl operator new(size_t size, std::align_val_t alignment)
{
    for (;;) {
        if (void* block = _aligned_malloc(size, static_cast<size_t>(alignment)))
            return block;
        if (_callnewh(size) == 0)
            throw std::bad_alloc();
    }
}

void* __cdecl operator new[](size_t size, std::align_val_t alignment)
{
    return operator new(size, alignment);
}

void* __cdecl operator new(size_t size, std::align_val_t alignment, std::nothrow_t const&) noexcept
{
    try {
        return operator new(size, alignment);
    } catch (...) {
        return nullptr;
    }
}

void* __cdecl operator new[](size_t size, std::align_val_t alignment, std::nothrow_t const&) noexcept
{
    return operator new(size, alignment, std::nothrow);
}

void __cdecl operator delete(void* block, std::align_val_t) noexcept
{
    _aligned_free(block);
}

void __cdecl operator delete[](void* block, std::align_val_t) noexcept
{
    _aligned_free(block);
}

void __cdecl operator delete(void* block, std::align_val_t, std::nothrow_t const&) noexcept
{
    _aligned_free(block);
}

void __cdecl operator delete[](void* block, std::align_val_t, std::nothrow_t const&) noexcept
{
    _aligned_free(block);
}

void __cdecl operator delete(void* block, size_t, std::align_val_t) noexcept
{
    _aligned_free(block);
}

void __cdecl operator delete[](void* block, size_t, std::align_val_t) noexcept
{
    _aligned_free(block);
}

namespace std {
nothrow_t const nothrow;
}

// ---- run-time type information -------------------------------------------

type_info::~type_info() noexcept {}

// The compiler's type_info records point at the table "??_7type_info@@6B@"
// but never construct a type_info, so no translation unit would emit it.
// Its one slot is the scalar deleting destructor, a member function (this
// call on x86); type_info records are static and never deleted.
#ifdef _M_IX86
#define MSVC_CROSS_THISCALL __thiscall
#else
#define MSVC_CROSS_THISCALL
#endif
extern "C" void* MSVC_CROSS_THISCALL msvc_cross_type_info_destroy(void* self, unsigned int)
{
    return self;
}

extern "C" void* const msvc_cross_type_info_table[1] __asm__("??_7type_info@@6B@");
extern "C" void* const msvc_cross_type_info_table[1] = {reinterpret_cast<void*>(&msvc_cross_type_info_destroy)};

// Head of the list in which vcruntime140 keeps the readable names it makes
// for type_info::name(): an interlocked singly linked list header, empty.
struct __type_info_node {
    alignas(16) unsigned char header[16];
};
extern "C" __type_info_node __type_info_root_node = {};

// ---- symbols the compiler and the STL refer to ----------------------------

// Referenced by every object that uses floating point.
extern "C" int _fltused = 0x9875;

// The instruction-set level the STL may use without asking; 0 (plain x86 or
// x64) keeps every STL algorithm on its portable path.
extern "C" int __isa_available = 0;

// ---- initialiser sections ------------------------------------------------

// The compiler puts a pointer to each dynamic initialiser of a global into
// .CRT$XCU (C++) or .CRT$XIU (C); the linker sorts the .CRT$X?? pieces by
// name, so these markers bound them.
#pragma section(".CRT$XIA", long, read)
#pragma section(".CRT$XIZ", long, read)
#pragma section(".CRT$XCA", long, read)
#pragma section(".CRT$XCZ", long, read)

extern "C" {
__declspec(allocate(".CRT$XIA")) _PIFV const __xi_a[] = {nullptr};
__declspec(allocate(".CRT$XIZ")) _PIFV const __xi_z[] = {nullptr};
__declspec(allocate(".CRT$XCA")) _PVFV const __xc_a[] = {nullptr};
__declspec(allocate(".CRT$XCZ")) _PVFV const __xc_z[] = {nullptr};
}

// ---- the module's atexit table --------------------------------------------

namespace {

// Functions registered with atexit, among them the destructors of the
// module's globals. In a DLL they run when it is unloaded; in a program at
// exit(). Either way they belong to this module, as with Visual Studio.
_onexit_table_t moduleExitTable;

} // namespace

extern "C" int __cdecl atexit(_PVFV function)
{
    return _register_onexit_function(&moduleExitTable, reinterpret_cast<_onexit_t>(function)) == 0 ? 0 : -1;
}

extern "C" _onexit_t __cdecl _onexit(_onexit_t function)
{
    return _register_onexit_function(&moduleExitTable, function) == 0 ? function : nullptr;
}

bool msvc_cross::initialiseModule()
{
    if (_initialize_onexit_table(&moduleExitTable) != 0)
        return false;
    if (_initterm_e(const_cast<_PIFV*>(__xi_a), const_cast<_PIFV*>(__xi_z)) != 0)
        return false;
    _initterm(const_cast<_PVFV*>(__xc_a), const_cast<_PVFV*>(__xc_z));
    return true;
}

void msvc_cross::finishModule()
{
    _execute_onexit_table(&moduleExitTable);
}
