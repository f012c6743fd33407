// Shared by the stand-ins for the statically linked part of Visual Studio's
// runtime (see StaticRuntime.cpp).
#pragma once

#include <corecrt_startup.h>
#include <stddef.h>

// ucrtbase exports these start-up helpers; Wine's headers do not declare
// them.
extern "C" {
__declspec(dllimport) void __cdecl _initterm(_PVFV* first, _PVFV* last);
__declspec(dllimport) int __cdecl _initterm_e(_PIFV* first, _PIFV* last);
__declspec(dllimport) int __cdecl _callnewh(size_t size);
}

namespace msvc_cross {

// Prepares the module's atexit table and runs the module's C and then its
// C++ initialisers, as the start-up code of Visual Studio's runtime does;
// false if that failed.
bool initialiseModule();

// Runs the functions the module registered with atexit, last first.
void finishModule();

} // namespace msvc_cross
