// Entry point of a DLL built with the stand-in runtime, doing what Visual
// Studio's _DllMainCRTStartup does: on process attach it sets the stack
// cookie, runs the module's initialisers and then the module's own DllMain; on process detach it calls
// DllMain and then the functions the module registered with atexit
// (destructors of its globals).
#include <windows.h>

#include "StaticRuntime.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
extern "C" void __cdecl __security_init_cookie();

extern "C" BOOL WINAPI _DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        __security_init_cookie();
        if (!msvc_cross::initialiseModule())
            return FALSE;
        return DllMain(instance, reason, reserved);
    }
    const BOOL result = DllMain(instance, reason, reserved);
    if (reason == DLL_PROCESS_DETACH)
        msvc_cross::finishModule();
    return result;
}
