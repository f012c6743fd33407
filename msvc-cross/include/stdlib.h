// Wine's stdlib.h as Visual Studio's reads. On 32-bit x86 Wine replaces
// div and ldiv with macros over a private calling convention; clang returns
// 8-byte structures in EDX:EAX exactly as ucrtbase does, so the plain
// prototypes are right and the macros are hidden here. C++ also gets the
// abs overloads for long and long long that <cstdlib> expects.
#pragma once
#ifndef _MSVC_CROSS_STDLIB_H
#define _MSVC_CROSS_STDLIB_H

// Read the headers Wine's stdlib.h includes with the architecture visible.
#include <corecrt_malloc.h>
#include <corecrt_wstdlib.h>
#include <limits.h>
// ucrtbase's stdlib.h gives the errno values too (<string> needs ERANGE).
#include <errno.h>

// atexit and _onexit belong to the module, not to ucrtbase: Visual Studio
// links them statically (crt/DllStartup.cpp, crt/ExeStartup.cpp), so they
// are declared without dllimport.
#define atexit __wine_atexit
#define _onexit __wine_onexit
#ifdef __i386__
#pragma push_macro("__i386__")
#undef __i386__
#include_next <stdlib.h>
#pragma pop_macro("__i386__")
#else
#include_next <stdlib.h>
#endif

#undef atexit
#undef _onexit

#ifdef __cplusplus
extern "C" {
#endif

int __cdecl atexit(void(__cdecl* function)(void));
_onexit_t __cdecl _onexit(_onexit_t function);
_ACRTIMP __declspec(noreturn) void __cdecl quick_exit(int status);
int __cdecl at_quick_exit(void(__cdecl* function)(void));
_ACRTIMP long double __cdecl strtold(char const*, char**);
_ACRTIMP unsigned int __cdecl _set_abort_behavior(unsigned int flags, unsigned int mask);

#ifdef __cplusplus
}

extern "C++" {
inline long abs(long value) noexcept { return labs(value); }
inline long long abs(long long value) noexcept { return llabs(value); }
}
#endif

#endif
