// Stand-in for Visual Studio's eh.h. Wine's copy declares terminate() and
// its relatives with C++ linkage; ucrtbase and vcruntime140 export them as
// C functions, which is how Visual Studio declares them.
#pragma once
#ifndef _INC_EH
#define _INC_EH

#include <vcruntime.h>

#ifndef __cplusplus
#error "eh.h is only for C++"
#endif

_CRT_BEGIN_C_HEADER

typedef void(__cdecl* terminate_handler)(void);
typedef void(__cdecl* terminate_function)(void);
typedef void(__cdecl* unexpected_handler)(void);
typedef void(__cdecl* unexpected_function)(void);

struct _EXCEPTION_POINTERS;
typedef void(__cdecl* _se_translator_function)(unsigned int, struct _EXCEPTION_POINTERS*);

__declspec(dllimport) __declspec(noreturn) void __cdecl abort(void);
__declspec(dllimport) __declspec(noreturn) void __cdecl terminate(void) throw();
__declspec(dllimport) terminate_handler __cdecl set_terminate(terminate_handler handler) throw();
__declspec(dllimport) terminate_handler __cdecl _get_terminate(void);

_VCRTIMP __declspec(noreturn) void __cdecl unexpected(void) noexcept(false);
_VCRTIMP unexpected_handler __cdecl set_unexpected(unexpected_handler handler) throw();
_VCRTIMP unexpected_handler __cdecl _get_unexpected(void);
_VCRTIMP _se_translator_function __cdecl _set_se_translator(_se_translator_function translator);
_VCRTIMP bool __cdecl __uncaught_exception(void);
_VCRTIMP int __cdecl __uncaught_exceptions(void);

_CRT_END_C_HEADER

#endif
