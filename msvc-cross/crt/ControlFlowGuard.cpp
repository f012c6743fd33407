// Control Flow Guard (/guard:cf), what Visual Studio's runtime links into
// every module: the pointers through which the compiler sends each
// indirect call (x86 checks the target and then calls it; x64 hands the
// target to a dispatcher in RAX). They start at functions that check
// nothing; where Windows enforces the guard, its loader points them at
// its own checks, using the load configuration (LoadConfig.c), and drops
// any call to an address the linker's table of functions does not list.
#include <stdint.h>

extern "C" {

void __fastcall _guard_check_icall_nop(uintptr_t) {}

#ifdef _M_X64
void _guard_dispatch_icall_nop();
__asm__(".text\n"
        ".globl _guard_dispatch_icall_nop\n"
        "_guard_dispatch_icall_nop:\n"
        "  jmp *%rax\n");
#endif

} // extern "C"

// Constant, in the section that Visual Studio's linker and lld merge into
// the read-only data: only the loader changes them.
#pragma section(".00cfg", read)
using GuardCheck = void(__fastcall*)(uintptr_t);
extern "C" __declspec(allocate(".00cfg")) const GuardCheck __guard_check_icall_fptr = &_guard_check_icall_nop;
#ifdef _M_X64
using GuardDispatch = void (*)();
extern "C" __declspec(allocate(".00cfg")) const GuardDispatch __guard_dispatch_icall_fptr = &_guard_dispatch_icall_nop;
#endif
