// Wine's wchar.h with mbstate_t as ucrtbase and the STL know it: Wine makes
// it an int, Visual Studio an 8-byte struct (_Mbstatet) that the STL keeps
// inside stream and facet objects shared with msvcp140. Also the few wide
// functions the STL names that Wine leaves out.
#pragma once
#ifndef _MSVC_CROSS_WCHAR_H
#define _MSVC_CROSS_WCHAR_H

#define mbstate_t __wine_int_mbstate_t
#define mbrlen __wine_mbrlen
#define mbrtowc __wine_mbrtowc
#define mbsrtowcs __wine_mbsrtowcs
#define wcrtomb __wine_wcrtomb
#define wcsrtombs __wine_wcsrtombs
#include_next <wchar.h>
#undef mbstate_t
#undef mbrlen
#undef mbrtowc
#undef mbsrtowcs
#undef wcrtomb
#undef wcsrtombs

#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef _Mbstatet mbstate_t;

_ACRTIMP size_t __cdecl mbrlen(char const*, size_t, mbstate_t*);
_ACRTIMP size_t __cdecl mbrtowc(wchar_t*, char const*, size_t, mbstate_t*);
_ACRTIMP size_t __cdecl mbsrtowcs(wchar_t*, char const**, size_t, mbstate_t*);
_ACRTIMP size_t __cdecl wcrtomb(char*, wchar_t, mbstate_t*);
_ACRTIMP size_t __cdecl wcsrtombs(char*, wchar_t const**, size_t, mbstate_t*);
_ACRTIMP long double __cdecl wcstold(wchar_t const*, wchar_t**);

// Visual Studio has both inline: streams are never wide-oriented there.
static __inline int __cdecl fwide(FILE* file, int mode)
{
    (void)file;
    return mode;
}
static __inline int __cdecl mbsinit(mbstate_t const* state)
{
    return state == NULL || state->_Wchar == 0;
}

static __inline int __cdecl vfwscanf(FILE* file, wchar_t const* format, va_list args)
{
    return __stdio_common_vfwscanf(_CRT_INTERNAL_LOCAL_SCANF_OPTIONS, file, format, NULL, args);
}
static __inline int __cdecl vswscanf(wchar_t const* buffer, wchar_t const* format, va_list args)
{
    return __stdio_common_vswscanf(_CRT_INTERNAL_LOCAL_SCANF_OPTIONS, buffer, (size_t)-1, format, NULL, args);
}
static __inline int __cdecl vwscanf(wchar_t const* format, va_list args)
{
    return vfwscanf(stdin, format, args);
}

#ifdef __cplusplus
}
#endif

#endif
