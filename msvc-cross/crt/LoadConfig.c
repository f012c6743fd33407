/* The image's load configuration, "_load_config_used", which the linker
 * names in the image's data directory and the loader of Windows reads:
 *  - the address of the stack cookie (SecurityCookie.cpp), which Windows
 *    sets to a fresh value before the module's code runs;
 *  - on x86, the table of the image's exception handlers that the linker
 *    builds (SafeSEH). Without it the linker marks the image "no SEH", and
 *    Windows then refuses every exception handler in it: no C++ exception
 *    could pass through the module;
 *  - Control Flow Guard: the pointers through which guarded indirect calls
 *    go (ControlFlowGuard.cpp), and the linker's tables of valid targets.
 * Windows checks Size against the layouts it knows, so the structure is
 * winnt.h's own (with the fields of the current Windows SDK, see
 * ../include/winnt.h). Written in C, where an address converted to an
 * integer of its width is a constant the linker fills in. */
#include <stdint.h>
#include <windows.h>

/* The linker defines these; an absolute symbol's address is its value. */
extern const char __guard_fids_table[];
extern const char __guard_fids_count;
extern const char __guard_flags;
extern const char __guard_iat_table[];
extern const char __guard_iat_count;
extern const char __guard_longjmp_table[];
extern const char __guard_longjmp_count;
extern uintptr_t __security_cookie;
extern void* __guard_check_icall_fptr;
#ifdef _M_IX86
extern const void* const __safe_se_handler_table[];
extern const char __safe_se_handler_count;
#else
extern void* __guard_dispatch_icall_fptr;
#endif

#define ADDRESS(symbol) ((uintptr_t)&(symbol))

/* GuardFlags is a DWORD. On x86 the linker's value (the address of the
 * absolute symbol __guard_flags) fits it; on x64 C cannot narrow an address
 * at link time, so the field says what /guard:cf makes the linker write
 * there on x86: instrumented, with a table of functions. */
#ifdef _M_IX86
#define GUARD_FLAGS ((DWORD)ADDRESS(__guard_flags))
#else
#define GUARD_FLAGS (IMAGE_GUARD_CF_INSTRUMENTED | IMAGE_GUARD_CF_FUNCTION_TABLE_PRESENT)
#endif

#ifdef _M_IX86
_Static_assert(sizeof(IMAGE_LOAD_CONFIG_DIRECTORY32) == 0xC0, "the Windows SDK's 32-bit load configuration");
#else
_Static_assert(sizeof(IMAGE_LOAD_CONFIG_DIRECTORY64) == 0x140, "the Windows SDK's 64-bit load configuration");
#endif

const IMAGE_LOAD_CONFIG_DIRECTORY _load_config_used = {
    .Size = sizeof(IMAGE_LOAD_CONFIG_DIRECTORY),
    .SecurityCookie = ADDRESS(__security_cookie),
#ifdef _M_IX86
    .SEHandlerTable = ADDRESS(__safe_se_handler_table),
    .SEHandlerCount = ADDRESS(__safe_se_handler_count),
#else
    .GuardCFDispatchFunctionPointer = ADDRESS(__guard_dispatch_icall_fptr),
#endif
    .GuardCFCheckFunctionPointer = ADDRESS(__guard_check_icall_fptr),
    .GuardCFFunctionTable = ADDRESS(__guard_fids_table),
    .GuardCFFunctionCount = ADDRESS(__guard_fids_count),
    .GuardFlags = GUARD_FLAGS,
    .GuardAddressTakenIatEntryTable = ADDRESS(__guard_iat_table),
    .GuardAddressTakenIatEntryCount = ADDRESS(__guard_iat_count),
    .GuardLongJumpTargetTable = ADDRESS(__guard_longjmp_table),
    .GuardLongJumpTargetCount = ADDRESS(__guard_longjmp_count),
};
