// Stand-in for Visual Studio's vcruntime.h, which is not published under an
// open licence. Microsoft's STL headers and Wine's C runtime headers expect
// the macros and types below; their values are those of an x86/x64 release
// build with /MD, so that the code we compile lays out and calls everything
// exactly as a Visual Studio 2015-2022 host does.
#pragma once
#ifndef _VCRUNTIME_H
#define _VCRUNTIME_H

#include <sal.h>
#include <vadefs.h>

// Structure packing of every runtime and library header.
#define _CRT_PACKING 8

#ifdef __cplusplus
#define _CRT_BEGIN_C_HEADER __pragma(pack(push, _CRT_PACKING)) extern "C" {
#define _CRT_END_C_HEADER } __pragma(pack(pop))
#else
#define _CRT_BEGIN_C_HEADER __pragma(pack(push, _CRT_PACKING))
#define _CRT_END_C_HEADER __pragma(pack(pop))
#endif

// Everything comes from the runtime DLLs (/MD).
#define _VCRTIMP __declspec(dllimport)
#ifndef _CRTIMP
#define _CRTIMP __declspec(dllimport)
#endif
// Decorations the STL's own headers add to what msvcp140 exports; the
// import itself is made by _CRTIMP2_IMPORT, which <yvals.h> sets from _DLL.
#define _CRTIMP2
#define _MRTIMP2
// Data of the code-conversion facets that msvcp140 keeps in a separate
// satellite DLL in newer toolsets; with a plain import library they are
// ordinary imports.
#define _CRT_SATELLITE_1
#define _CRT_SATELLITE_2
#define _CRT_SATELLITE_CODECVT_IDS
#define _CRT_SATELLITE_CODECVT_IDS_NOIMPORT
// Only /clr:pure used these to mark process-global data.
#define _PGLOBAL

#define __CRTDECL __cdecl
#define __CLR_OR_THIS_CALL
#define __CLRCALL_OR_CDECL __cdecl
#define __CLRCALL_PURE_OR_CDECL __cdecl
#define __CLRCALL_PURE_OR_STDCALL __stdcall

#define _VCRT_ALIGN(x) __declspec(align(x))
#define _VCRT_ALLOCATOR __declspec(allocator)
#define _VCRT_NOALIAS __declspec(noalias)
#define _VCRT_RESTRICT __declspec(restrict)
#define _CRT_GUARDOVERFLOW
#define _CRT_HYBRIDPATCHABLE
#define _CRT_UNUSED(x) ((void)(x))

#define _CRT_STRINGIZE_(x) #x
#define _CRT_STRINGIZE(x) _CRT_STRINGIZE_(x)
#define _CRT_WIDE_(s) L##s
#define _CRT_WIDE(s) _CRT_WIDE_(s)
#define _CRT_CONCATENATE_(a, b) a##b
#define _CRT_CONCATENATE(a, b) _CRT_CONCATENATE_(a, b)
#define _CRT_APPEND(a, b) _CRT_CONCATENATE(a, b)

#define _CRT_DEPRECATE_TEXT(text) __declspec(deprecated(text))
#define _CRT_INSECURE_DEPRECATE(replacement)
#define _CRT_INSECURE_DEPRECATE_MEMORY(replacement)
#define _CRT_OBSOLETE(replacement)
#define _CRT_SECURE_CPP_NOTHROW throw()

// Release build: a broken precondition ends the process, as in ucrtbase.
#define _CRT_SECURE_INVALID_PARAMETER(expr) ::_invalid_parameter_noinfo_noreturn()

#define _HAS_EXCEPTIONS 1
#define _HAS_NODISCARD 1
#define _NODISCARD [[nodiscard]]

#ifndef _MSVC_LANG
#define _MSVC_LANG __cplusplus
#endif
#ifndef _HAS_CXX17
#if _MSVC_LANG > 201402L
#define _HAS_CXX17 1
#else
#define _HAS_CXX17 0
#endif
#endif
#ifndef _HAS_CXX20
#if _HAS_CXX17 && _MSVC_LANG > 201703L
#define _HAS_CXX20 1
#else
#define _HAS_CXX20 0
#endif
#endif
#ifndef _HAS_CXX23
#if _HAS_CXX20 && _MSVC_LANG > 202002L
#define _HAS_CXX23 1
#else
#define _HAS_CXX23 0
#endif
#endif

#define _VCRUNTIME_DISABLED_WARNINGS 4514 4820

#ifndef NULL
#ifdef __cplusplus
#define NULL 0
#else
#define NULL ((void*)0)
#endif
#endif

#ifndef _SIZE_T_DEFINED
#define _SIZE_T_DEFINED
typedef __SIZE_TYPE__ size_t;
#endif
#ifndef _PTRDIFF_T_DEFINED
#define _PTRDIFF_T_DEFINED
typedef __PTRDIFF_TYPE__ ptrdiff_t;
#endif
#ifndef _INTPTR_T_DEFINED
#define _INTPTR_T_DEFINED
typedef __INTPTR_TYPE__ intptr_t;
#endif
#ifndef _UINTPTR_T_DEFINED
#define _UINTPTR_T_DEFINED
typedef __UINTPTR_TYPE__ uintptr_t;
#endif

_CRT_BEGIN_C_HEADER
__declspec(dllimport) __declspec(noreturn) void __cdecl _invalid_parameter_noinfo_noreturn(void);
_CRT_END_C_HEADER

#ifdef __cplusplus
// sizeof for arrays only, as the runtime's _countof.
extern "C++" template <typename T, size_t N> char (*__countof_helper(T (&)[N]))[N];
#define _countof(array) (sizeof(*__countof_helper(array)) + 0)
#else
#define _countof(array) (sizeof(array) / sizeof((array)[0]))
#endif

#endif
