# Cross-compiles the 64-bit Windows targets (PE32+, x86-64) with the MSVC
# C++ ABI, for 64-bit hosts built with Visual Studio 2015-2022 in release
# (/MD): clang-cl with Microsoft's STL, linked against msvcp140,
# vcruntime140 and ucrtbase. The Windows programs run under wine64 in the
# 64-bit Wine prefix (scripts/wine64.sh). How it is put together: msvc-cross/.
set(WIREDCLSTAB_MSVC_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/../msvc-cross/Toolchain.cmake)

get_filename_component(_wiredclstab_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${_wiredclstab_root}/scripts/wine64.sh)
set(WIREDCLSTAB_FLAVOUR win64-msvc CACHE STRING "The host build the plug-in fits; names its folder in a Windows package")
