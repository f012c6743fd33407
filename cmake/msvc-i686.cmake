# Cross-compiles the 32-bit Windows targets with the MSVC C++ ABI, for hosts
# built with Visual Studio 2015-2022 in release (/MD): clang-cl with
# Microsoft's STL, linked against msvcp140, vcruntime140 and ucrtbase. The
# Windows programs run under Wine. How it is put together: msvc-cross/.
set(WIREDCLSTAB_MSVC_ARCH i386)
include(${CMAKE_CURRENT_LIST_DIR}/../msvc-cross/Toolchain.cmake)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
set(WIREDCLSTAB_FLAVOUR win32-msvc CACHE STRING "The host build the plug-in fits; names its folder in a Windows package")
