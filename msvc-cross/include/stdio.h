// Wine's stdio.h plus the functions of ucrtbase's header that Wine leaves
// out: the v*scanf family (named by <cstdio>) and vsnprintf_s (used by
// tinyxml2). Like Visual Studio's, they are inline over ucrtbase's common
// entry points.
#pragma once
#ifndef _MSVC_CROSS_STDIO_H
#define _MSVC_CROSS_STDIO_H

#include_next <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

static __inline int __cdecl vfscanf(FILE* file, char const* format, va_list args)
{
    return __stdio_common_vfscanf(_CRT_INTERNAL_LOCAL_SCANF_OPTIONS, file, format, NULL, args);
}
static __inline int __cdecl vscanf(char const* format, va_list args)
{
    return vfscanf(stdin, format, args);
}
static __inline int __cdecl vsscanf(char const* buffer, char const* format, va_list args)
{
    return __stdio_common_vsscanf(_CRT_INTERNAL_LOCAL_SCANF_OPTIONS, buffer, (size_t)-1, format, NULL, args);
}
static __inline int __cdecl vsnprintf_s(char* buffer, size_t size, size_t count, char const* format, va_list args)
{
    int result = __stdio_common_vsnprintf_s(_CRT_INTERNAL_LOCAL_PRINTF_OPTIONS, buffer, size, count, format, NULL, args);
    return result < 0 ? -1 : result;
}

// Reads the buffer pointers of a stream (ucrtbase exports it; <fstream>
// uses it).
_ACRTIMP errno_t __cdecl _get_stream_buffer_pointers(FILE* stream, char*** base, char*** next, int** count);

#ifdef __cplusplus
}
#endif

#endif
