// The DllMain of a DLL that defines none (linked only when the DLL's own
// objects leave it undefined), as in Visual Studio's runtime.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
