#ifndef WIREDCLSTAB_HARDENING_LEAKCHECK_H
#define WIREDCLSTAB_HARDENING_LEAKCHECK_H

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace hardening {

// True when LeakSanitizer finds unreachable memory now (it prints where each
// block was allocated). Without the sanitizer there is nothing to ask.
inline bool leaksFound()
{
#if defined(__SANITIZE_ADDRESS__)
    return __lsan_do_recoverable_leak_check() != 0;
#else
    return false;
#endif
}

} // namespace hardening

#endif
