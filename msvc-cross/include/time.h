// Wine's time.h plus what ucrtbase's has and Wine's leaves out: timespec
// and timespec_get (<ctime>, <chrono>), and the _s conversions, inline over
// ucrtbase's 64-bit entry points as in Visual Studio's header.
#pragma once
#ifndef _MSVC_CROSS_TIME_H
#define _MSVC_CROSS_TIME_H

#include_next <time.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifndef _CRT_NO_TIME_T
struct timespec {
    time_t tv_sec;
    long tv_nsec;
};
#endif
struct _timespec64 {
    __time64_t tv_sec;
    long tv_nsec;
};

#define TIME_UTC 1

_ACRTIMP int __cdecl _timespec64_get(struct _timespec64* when, int base);
_ACRTIMP errno_t __cdecl _gmtime64_s(struct tm* result, __time64_t const* time);

static __inline int __cdecl timespec_get(struct timespec* when, int base)
{
    return _timespec64_get((struct _timespec64*)when, base);
}
static __inline errno_t __cdecl localtime_s(struct tm* result, time_t const* time)
{
    return _localtime64_s(result, time);
}
static __inline errno_t __cdecl gmtime_s(struct tm* result, time_t const* time)
{
    return _gmtime64_s(result, time);
}

#ifdef __cplusplus
}
#endif

#endif
