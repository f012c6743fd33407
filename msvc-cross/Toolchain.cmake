# The MSVC-ABI cross build on Debian, shared by cmake/msvc-i686.cmake and
# cmake/msvc-x86_64.cmake, which set WIREDCLSTAB_MSVC_ARCH (i386 or x86_64)
# before including this file.
#
# clang-cl compiles with Microsoft's STL (third_party/, unpacked into
# build/_deps/msvc-stl), Wine's C runtime and Windows headers (Debian's
# libwine-dev, unpacked into build/_deps/wine-<arch> by scripts/setup.sh)
# and this folder's stand-ins for the headers of Visual Studio's own
# runtime; lld-link links against import libraries made from the DLLs Wine
# runs (Runtime.cmake). The result uses msvcp140, vcruntime140 and ucrtbase
# like a Visual Studio 2015-2022 release build (/MD).
set(CMAKE_SYSTEM_NAME Windows)

if(WIREDCLSTAB_MSVC_ARCH STREQUAL "i386")
  set(CMAKE_SYSTEM_PROCESSOR X86)
  set(_msvc_cross_target i686-pc-windows-msvc)
  set(_msvc_cross_debian_arch i386)
elseif(WIREDCLSTAB_MSVC_ARCH STREQUAL "x86_64")
  set(CMAKE_SYSTEM_PROCESSOR AMD64)
  set(_msvc_cross_target x86_64-pc-windows-msvc)
  set(_msvc_cross_debian_arch amd64)
else()
  message(FATAL_ERROR "WIREDCLSTAB_MSVC_ARCH must be i386 or x86_64")
endif()

get_filename_component(_msvc_cross_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(_msvc_cross_deps ${_msvc_cross_root}/build/_deps)

# Microsoft's STL headers: unpacked from the vendored archive on first use.
set(_msvc_cross_stl ${_msvc_cross_deps}/msvc-stl)
if(NOT EXISTS ${_msvc_cross_stl}/stl/inc/yvals_core.h)
  file(ARCHIVE_EXTRACT INPUT ${_msvc_cross_root}/third_party/msvc-stl-b29a16b.tar.xz
       DESTINATION ${_msvc_cross_stl})
endif()

# Wine's headers and import archives, unpacked by scripts/setup.sh.
set(_msvc_cross_wine ${_msvc_cross_deps}/wine-${_msvc_cross_debian_arch})
set(_msvc_cross_wine_include ${_msvc_cross_wine}/usr/include/wine/wine)
if(NOT EXISTS ${_msvc_cross_wine_include}/msvcrt/corecrt.h)
  message(FATAL_ERROR "Wine's headers are not in ${_msvc_cross_wine}; run scripts/setup.sh")
endif()

set(CMAKE_C_COMPILER clang-cl-14)
set(CMAKE_CXX_COMPILER clang-cl-14)
set(CMAKE_LINKER lld-link-14)
set(CMAKE_AR llvm-lib-14)
set(CMAKE_RC_COMPILER llvm-rc-14)
set(CMAKE_MT llvm-mt-14)
# llvm-objdump reads PE files differently; binutils' objdump (the ABI check)
# reads both PE32 and PE32+.
set(CMAKE_OBJDUMP objdump)

# Nothing of the build machine is a Windows library or package.
set(CMAKE_FIND_ROOT_PATH ${_msvc_cross_deps}/msvc-sysroot-${_msvc_cross_debian_arch})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# CMake's own checks compile without linking: linking needs the import
# libraries and the start-up code, which the project builds itself.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

# Release runtime DLLs only: a debug build (/MDd) would need msvcp140d and
# has other STL layouts.
set(CMAKE_MSVC_RUNTIME_LIBRARY MultiThreadedDLL)

# No absolute path of the build machine in the objects or the .pdb, so that
# two builds of one commit in different folders are byte for byte the same:
# clang-cl 14 writes its whole command line into each object's debug
# information (LF_BUILDINFO), and lld-link writes its own into the .pdb,
# whose hash names it in the image. CMake names sources, include folders
# and the .def file by absolute paths; relative-paths.sh runs the compiler
# and the linker with the build and source folders written relative to the
# build folder, where Ninja runs them. The relative path is taken between
# the real folders, which is where the tools run even when a folder is
# reached through a symbolic link. In the .pdb, lld-link then names files
# from the source folder (/pdbsourcepath: the build folder seen from it).
file(REAL_PATH ${CMAKE_SOURCE_DIR} _msvc_cross_real_source)
file(REAL_PATH ${CMAKE_BINARY_DIR} _msvc_cross_real_build)
file(RELATIVE_PATH _msvc_cross_source_from_build ${_msvc_cross_real_build} ${_msvc_cross_real_source})
file(RELATIVE_PATH _msvc_cross_build_from_source ${_msvc_cross_real_source} ${_msvc_cross_real_build})
# CMake writes a folder above as "../../", and the folder itself as "".
foreach(_msvc_cross_path _msvc_cross_source_from_build _msvc_cross_build_from_source)
  string(REGEX REPLACE "(.)/$" "\\1" ${_msvc_cross_path} "${${_msvc_cross_path}}")
  if(${_msvc_cross_path} STREQUAL "")
    set(${_msvc_cross_path} .)
  endif()
endforeach()
# The longer folder first: the build folder usually lies inside the sources.
string(LENGTH "${CMAKE_SOURCE_DIR}" _msvc_cross_source_length)
string(LENGTH "${CMAKE_BINARY_DIR}" _msvc_cross_build_length)
set(_msvc_cross_launcher ${CMAKE_CURRENT_LIST_DIR}/relative-paths.sh)
if(_msvc_cross_build_length GREATER_EQUAL _msvc_cross_source_length)
  list(APPEND _msvc_cross_launcher ${CMAKE_BINARY_DIR} . ${CMAKE_SOURCE_DIR} ${_msvc_cross_source_from_build} --)
else()
  list(APPEND _msvc_cross_launcher ${CMAKE_SOURCE_DIR} ${_msvc_cross_source_from_build} ${CMAKE_BINARY_DIR} . --)
endif()
# A launcher of the user's own (ccache, say) runs after it.
foreach(_msvc_cross_lang C CXX)
  set(CMAKE_${_msvc_cross_lang}_COMPILER_LAUNCHER ${_msvc_cross_launcher} $CACHE{CMAKE_${_msvc_cross_lang}_COMPILER_LAUNCHER})
  set(CMAKE_${_msvc_cross_lang}_LINKER_LAUNCHER ${_msvc_cross_launcher} $CACHE{CMAKE_${_msvc_cross_lang}_LINKER_LAUNCHER})
endforeach()

# -fms-compatibility-version: the STL checks it is Visual Studio 2022.
# Stack cookies (/GS) are on, as in Visual Studio; Control Flow Guard
# (/guard:cf) is added, and its support and the cookie's are stand-ins
# (crt/). /Zc:threadSafeInit-: no guarded statics, whose support would be
# more statically linked runtime. /Brepro: no time in the objects, so two
# builds of one commit are byte for byte the same; -ffile-compilation-dir:
# the build folder is "." in them (see the launcher above).
# _USE_STD_VECTOR_ALGORITHMS=0: the STL's vectorised helpers live in the
# static part of Microsoft's library, which we do not have.
# WINE_UNICODE_NATIVE: WCHAR is wchar_t, as in Microsoft's headers.
set(_msvc_cross_flags
  --target=${_msvc_cross_target} -fms-compatibility-version=19.33 /guard:cf /Brepro /Zc:threadSafeInit-
  /clang:-ffile-compilation-dir=.
  -D_USE_STD_VECTOR_ALGORITHMS=0 -DWINE_UNICODE_NATIVE
  "-imsvc \"${_msvc_cross_root}/msvc-cross/include\""
  "-imsvc \"${_msvc_cross_stl}/stl/inc\""
  "-imsvc \"${_msvc_cross_wine_include}/msvcrt\""
  "-imsvc \"${_msvc_cross_wine_include}/windows\"")
list(JOIN _msvc_cross_flags " " _msvc_cross_flags)
set(CMAKE_C_FLAGS_INIT "${_msvc_cross_flags}")
set(CMAKE_CXX_FLAGS_INIT "${_msvc_cross_flags}")
# Debug information in the objects (/Z7); a shipped image writes it into a
# .pdb of its own (cmake/ShippedBinary.cmake).
set(CMAKE_MSVC_DEBUG_INFORMATION_FORMAT Embedded)
# Default libraries named in the objects (msvcrt.lib, msvcprt.lib,
# oldnames.lib) are Visual Studio's; Runtime.cmake names ours instead.
# lld-link marks images DYNAMICBASE and NX_COMPAT (and HIGH_ENTROPY_VA in
# 64 bits) by default; Control Flow Guard tables, a time stamp made from
# the image's contents (/Brepro), and in 64 bits compatibility with CET's
# shadow stack are asked for.
set(_msvc_cross_link_flags "/nodefaultlib /manifest:no /guard:cf /Brepro /pdbsourcepath:${_msvc_cross_build_from_source}")
if(WIREDCLSTAB_MSVC_ARCH STREQUAL "x86_64")
  string(APPEND _msvc_cross_link_flags " /cetcompat")
endif()
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "${_msvc_cross_link_flags}")
endforeach()

# Every project built with this toolchain (this one, and a host project
# that finds the installed package) gets the stand-ins for what Visual
# Studio would link, right after its project() call.
set(CMAKE_PROJECT_INCLUDE ${CMAKE_CURRENT_LIST_DIR}/Runtime.cmake)
set(WIREDCLSTAB_MSVC_CROSS ${WIREDCLSTAB_MSVC_ARCH} CACHE INTERNAL "MSVC-ABI cross build for this architecture")
set(WIREDCLSTAB_MSVC_WINE_ARCHIVES
    ${_msvc_cross_wine}/usr/lib/${WIREDCLSTAB_MSVC_ARCH}-linux-gnu/wine/${WIREDCLSTAB_MSVC_ARCH}-windows
    CACHE INTERNAL "Wine's import archives")
