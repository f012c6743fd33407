// The stack cookie of /GS, which Visual Studio's runtime links statically
// into every module (vcruntime140.dll has none of it): the cookie, its
// initialisation at start-up, the check the compiler calls before a
// protected function returns, and on x64 the handler that checks a frame's
// cookie while an exception unwinds it. A failed check ends the process at
// once with STATUS_STACK_BUFFER_OVERRUN, as Visual Studio's does. Built
// without /GS itself (Runtime.cmake).
#include <windows.h>

#include "StackCookie.h"

extern "C" {

// Windows replaces it with a fresh value before the module's code runs when
// the load configuration names it (LoadConfig.c); Wine does not.
uintptr_t __security_cookie = stackguard::kUninitialisedCookie;
uintptr_t __security_cookie_complement = ~stackguard::kUninitialisedCookie;

void __cdecl __security_init_cookie()
{
    if (__security_cookie == stackguard::kUninitialisedCookie || __security_cookie == 0)
        __security_cookie = stackguard::freshCookie(&__security_cookie);
    __security_cookie_complement = ~__security_cookie;
}

// __fastcall on x86: the compiler passes the frame's cookie in ECX.
void __fastcall __security_check_cookie(uintptr_t cookie)
{
    if (cookie != __security_cookie)
        stackguard::failFast();
}

#ifdef _M_X64
// What the compiler puts after a function's unwind information for its
// cookie: where the cookie lies in the frame, relative to the frame or to
// an aligned base in it.
struct GsHandlerData {
    ULONG cookieOffset; // the low three bits are flags
    LONG alignedBaseOffset;
    LONG alignment;
};
constexpr ULONG kHasAlignment = 4;

struct UnwindInfo {
    BYTE versionAndFlags;
    BYTE sizeOfProlog;
    BYTE countOfCodes;
    BYTE frameRegisterAndOffset; // register in the low four bits, offset / 16 in the high
};

// The language handler of a function whose frame holds a cookie and no
// exception handler of its own: checks the cookie before the frame is
// unwound, and leaves the exception to the next frame.
EXCEPTION_DISPOSITION __cdecl __GSHandlerCheck(EXCEPTION_RECORD*, void* establisherFrame, CONTEXT*,
                                               DISPATCHER_CONTEXT* dispatcher)
{
    const auto* data = static_cast<const GsHandlerData*>(dispatcher->HandlerData);
    const auto* unwind = reinterpret_cast<const UnwindInfo*>(dispatcher->ImageBase + dispatcher->FunctionEntry->UnwindData);

    auto frame = reinterpret_cast<uintptr_t>(establisherFrame);
    uintptr_t cookieBase = frame;
    if (data->cookieOffset & kHasAlignment)
        cookieBase = (frame + data->alignedBaseOffset) & ~static_cast<uintptr_t>(data->alignment - 1);
    const uintptr_t stored = *reinterpret_cast<const uintptr_t*>(cookieBase + (data->cookieOffset & ~7u));

    // The cookie was mixed with the frame pointer, which lies the unwind
    // information's frame offset above the establisher frame.
    uintptr_t framePointer = frame;
    if ((unwind->frameRegisterAndOffset & 0x0F) != 0)
        framePointer += (unwind->frameRegisterAndOffset & 0xF0);
    __security_check_cookie(stored ^ framePointer);
    return ExceptionContinueSearch;
}
#endif

} // extern "C"
