// A fresh stack cookie for a Windows module, shared by the stack protector
// of the mingw builds and the stand-in for Visual Studio's
// __security_init_cookie. Mixed from what differs between processes and
// runs (the time, the process and thread ids, the performance counter and
// where the image was loaded), the way Visual Studio's runtime mixes it,
// so that the module imports nothing beyond kernel32 for it.
//
// Call it only from code built without stack cookies: a frame that holds a
// cookie while it changes would fail its own check on return.
#pragma once

#include <stdint.h>
#include <windows.h>

namespace stackguard {

// The value a cookie starts with before it is initialised; a module that
// still has it has no protection worth the name.
#ifdef _WIN64
constexpr uintptr_t kUninitialisedCookie = 0x00002B992DDFA232ull;
#else
constexpr uintptr_t kUninitialisedCookie = 0xBB40E64Eu;
#endif

// Windows' code for a stack buffer overrun (__fastfail's
// FAST_FAIL_STACK_COOKIE_CHECK_FAILURE).
constexpr unsigned int kStackCookieFailure = 2;

inline uintptr_t freshCookie(const void* salt)
{
    FILETIME time;
    GetSystemTimeAsFileTime(&time);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);

    uintptr_t cookie = time.dwLowDateTime ^ time.dwHighDateTime;
    cookie ^= GetCurrentThreadId();
    cookie ^= GetCurrentProcessId();
#ifdef _WIN64
    cookie ^= static_cast<uintptr_t>(counter.QuadPart) << 32 ^ static_cast<uintptr_t>(counter.QuadPart);
    cookie ^= reinterpret_cast<uintptr_t>(salt);
    // The top 16 bits stay clear, as in Visual Studio: a cookie can then
    // never equal a canonical user-mode address written over it.
    cookie &= 0x0000FFFFFFFFFFFFull;
#else
    cookie ^= static_cast<uintptr_t>(counter.LowPart) ^ static_cast<uintptr_t>(counter.HighPart);
    cookie ^= reinterpret_cast<uintptr_t>(salt);
#endif
    if (cookie == 0 || cookie == kUninitialisedCookie)
        cookie = kUninitialisedCookie ^ 0x4711;
    return cookie;
}

// Ends the process at once with STATUS_STACK_BUFFER_OVERRUN: Windows runs no
// exception handler and no unhandled-exception filter of the process, whose
// stack can no longer be trusted.
[[noreturn]] inline void failFast()
{
#if defined(_MSC_VER)
    __fastfail(kStackCookieFailure);
#else
    __asm__ __volatile__("int $0x29" : : "c"(kStackCookieFailure) : "memory");
    __builtin_unreachable();
#endif
}

} // namespace stackguard
