/* The image's load configuration, "_load_config_used", for the mingw
 * builds: it names where the image's stack cookie is (the guard of
 * StackProtector_mingw.cpp), so that Windows gives the cookie a fresh value
 * before any code of the module runs, as it does for a Visual Studio image,
 * and so that a reviewer's tools that read the load configuration see that
 * the image has one. The structure is the mingw-w64 headers' own (the
 * Windows 7 layout, which every later Windows reads); GNU ld does not name
 * it in the image's data directory, so cmake/set_load_config.py does that
 * once the image is linked (cmake/ShippedBinary.cmake). No exception
 * handler table: the 32-bit images register none and are marked NO_SEH. */
#include <stdint.h>
#include <windows.h>

extern uintptr_t __stack_chk_guard;

const IMAGE_LOAD_CONFIG_DIRECTORY _load_config_used = {
    .Size = sizeof(IMAGE_LOAD_CONFIG_DIRECTORY),
    .SecurityCookie = (uintptr_t)&__stack_chk_guard,
};
