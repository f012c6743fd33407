// The support gcc's -fstack-protector-strong calls on, for the mingw builds:
// the guard value every protected frame copies, and the function a frame
// calls when its copy no longer matches. Linked into every program and DLL
// in place of libssp, whose guard on Windows needs advapi32 (or is a fixed
// value) and whose failure path writes to the console and raises an
// ordinary exception that the damaged process's own handlers would see.
// Built without the stack protector itself (see CMakeLists.txt).
#include "StackCookie.h"

extern "C" {

uintptr_t __stack_chk_guard = stackguard::kUninitialisedCookie;

[[noreturn]] void __stack_chk_fail()
{
    stackguard::failFast();
}

} // extern "C"

namespace {

// Among the first constructors of the module: the C runtime's start-up code
// runs them before DllMain or main, and holds no protected frame itself.
__attribute__((constructor(101))) void initialiseStackGuard()
{
    if (__stack_chk_guard == stackguard::kUninitialisedCookie)
        __stack_chk_guard = stackguard::freshCookie(&__stack_chk_guard);
}

} // namespace
