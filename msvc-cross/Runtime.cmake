# Included after each project() call of a build with the MSVC-ABI cross
# toolchain (Toolchain.cmake names it in CMAKE_PROJECT_INCLUDE): what Visual
# Studio's linker would add to every program and DLL.
#  - import libraries for the DLLs a /MD build uses, made from the DLLs Wine
#    runs (ImportLibraries.cmake), once per build folder;
#  - msvc_cross_runtime, the stand-in for the statically linked part of the
#    runtime (crt/): start-up code, allocation functions, RTTI and the
#    pieces of msvcprt.lib that the STL headers call.
# Every target defined after this file links both.

# Once per build, not for CMake's own test projects (they only compile) nor
# again for a project() of a subdirectory (GoogleTest's).
get_property(_msvc_cross_in_try_compile GLOBAL PROPERTY IN_TRY_COMPILE)
if(_msvc_cross_in_try_compile OR TARGET msvc_cross_runtime)
  return()
endif()

set(_msvc_cross_dir ${CMAKE_CURRENT_LIST_DIR})
set(_msvc_cross_libs ${CMAKE_BINARY_DIR}/msvc-cross/lib)
set(_msvc_cross_script ${_msvc_cross_dir}/ImportLibraries.cmake)
set(_msvc_cross_stamp ${_msvc_cross_libs}/complete.stamp)

if(NOT EXISTS ${_msvc_cross_stamp} OR ${_msvc_cross_script} IS_NEWER_THAN ${_msvc_cross_stamp})
  message(STATUS "Making import libraries for ${WIREDCLSTAB_MSVC_CROSS} from Wine's DLLs")
  execute_process(
    COMMAND ${CMAKE_COMMAND}
      -DARCH=${WIREDCLSTAB_MSVC_CROSS}
      -DDLL_DIR=/usr/lib/${WIREDCLSTAB_MSVC_CROSS}-linux-gnu/wine/${WIREDCLSTAB_MSVC_CROSS}-windows
      -DARCHIVE_DIR=${WIREDCLSTAB_MSVC_WINE_ARCHIVES}
      -DOUTPUT_DIR=${_msvc_cross_libs}
      -DREADOBJ=llvm-readobj-14 -DNM=llvm-nm-14 -DDLLTOOL=llvm-dlltool-14
      -P ${_msvc_cross_script}
    RESULT_VARIABLE _msvc_cross_status)
  if(NOT _msvc_cross_status EQUAL 0)
    message(FATAL_ERROR "Making the import libraries failed")
  endif()
endif()

add_library(msvc_cross_runtime STATIC
  ${_msvc_cross_dir}/crt/StaticRuntime.cpp
  ${_msvc_cross_dir}/crt/SecurityCookie.cpp
  ${_msvc_cross_dir}/crt/ControlFlowGuard.cpp
  ${_msvc_cross_dir}/crt/LoadConfig.c
  ${_msvc_cross_dir}/crt/DllStartup.cpp
  ${_msvc_cross_dir}/crt/DefaultDllMain.cpp
  ${_msvc_cross_dir}/crt/ExeStartup.cpp
  ${_msvc_cross_dir}/crt/LibraryStatics.cpp
  ${_msvc_cross_dir}/crt/Filesystem.cpp
  ${_msvc_cross_dir}/crt/X86Helpers.cpp)
target_compile_features(msvc_cross_runtime PRIVATE cxx_std_17)
# The cookie's own code, and the start-up code that sets it, hold no cookie:
# a frame that saw the cookie change would fail its own check.
set_source_files_properties(
  ${_msvc_cross_dir}/crt/SecurityCookie.cpp
  ${_msvc_cross_dir}/crt/DllStartup.cpp
  ${_msvc_cross_dir}/crt/ExeStartup.cpp
  PROPERTIES COMPILE_OPTIONS /GS-)
# The cookie's value is made as the mingw builds make theirs.
target_include_directories(msvc_cross_runtime PRIVATE ${_msvc_cross_dir}/../stackguard)

# In place of Visual Studio's default list (gdi32.lib, ole32.lib, ...),
# which nothing here uses. The compiler's helpers of 32-bit programs (64-bit
# division, stack probes), which Windows' ntdll exports too, are linked in
# (crt/X86Helpers.cpp), as Visual Studio links them: no binary imports ntdll.
link_directories(${_msvc_cross_libs})
foreach(lang C CXX)
  set(CMAKE_${lang}_STANDARD_LIBRARIES "msvcp140.lib vcruntime140.lib ucrtbase.lib kernel32.lib user32.lib")
endforeach()
link_libraries(msvc_cross_runtime)
