# The host build the plug-in fits, which names its folder in a Windows
# package (cmake/Install.cmake). Each toolchain file sets it (win32-mingw,
# win64-mingw, ...); otherwise it follows the compiler: linux natively.
if(NOT WIREDCLSTAB_FLAVOUR)
  if(WIN32)
    math(EXPR flavour_bits "${CMAKE_SIZEOF_VOID_P} * 8")
    if(MINGW)
      set(flavour win${flavour_bits}-mingw)
    else()
      set(flavour win${flavour_bits}-msvc)
    endif()
  else()
    set(flavour linux)
  endif()
  set(WIREDCLSTAB_FLAVOUR ${flavour} CACHE STRING "The host build the plug-in fits; names its folder in a Windows package")
endif()

# tinyxml2 9.0.0: Debian's library on Linux; compiled in from Debian's
# source package (fetched by scripts/setup.sh) for Windows, and for the fuzz
# targets, whose coverage then steers through the parser too.
# A Visual Studio build takes a package manager's tinyxml2 when there is one
# (vcpkg: tinyxml2), else the sources in TINYXML2_SOURCE_DIR.
if(MSVC AND NOT WIREDCLSTAB_MSVC_CROSS)
  find_package(tinyxml2 CONFIG QUIET)
endif()
if(TARGET tinyxml2::tinyxml2)
  add_library(tinyxml2 INTERFACE)
  target_link_libraries(tinyxml2 INTERFACE tinyxml2::tinyxml2)
elseif(WIN32 OR WIREDCLSTAB_FUZZ)
  set(TINYXML2_SOURCE_DIR ${PROJECT_SOURCE_DIR}/build/_deps/tinyxml2
      CACHE PATH "Folder holding tinyxml2.h and tinyxml2.cpp")
  if(NOT EXISTS ${TINYXML2_SOURCE_DIR}/tinyxml2.cpp)
    message(FATAL_ERROR "tinyxml2 sources not found in ${TINYXML2_SOURCE_DIR}; run scripts/setup.sh")
  endif()
  add_library(tinyxml2 STATIC ${TINYXML2_SOURCE_DIR}/tinyxml2.cpp)
  target_include_directories(tinyxml2 SYSTEM PUBLIC ${TINYXML2_SOURCE_DIR})
  set_target_properties(tinyxml2 PROPERTIES POSITION_INDEPENDENT_CODE ON)
else()
  find_path(TINYXML2_INCLUDE_DIR tinyxml2.h REQUIRED)
  find_library(TINYXML2_LIBRARY tinyxml2 REQUIRED)
  add_library(tinyxml2 UNKNOWN IMPORTED)
  set_target_properties(tinyxml2 PROPERTIES
    IMPORTED_LOCATION ${TINYXML2_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${TINYXML2_INCLUDE_DIR})
endif()

if(WIN32 AND NOT MINGW)
  # Visual Studio's runtime (msvcp140, vcruntime140, ucrtbase) comes with
  # the host or the Visual C++ Redistributable: nothing ships beside ours.
  set(WIREDCLSTAB_RUNTIME_DLLS "")
elseif(WIN32)
  # The C++ runtime is linked dynamically (exceptions, strings and the
  # visitor cross the plug-in boundary), so its DLLs ship beside ours.
  # The unwinder DLL differs by architecture: DWARF-2 in 32 bits, SEH in 64.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(runtime_dll_names libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  else()
    set(runtime_dll_names libstdc++-6.dll libgcc_s_dw2-1.dll libwinpthread-1.dll)
  endif()
  set(WIREDCLSTAB_RUNTIME_DLLS "")
  foreach(dll IN LISTS runtime_dll_names)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${dll_path}" OR NOT EXISTS "${dll_path}")
      foreach(dir /usr/${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32/lib)
        if(EXISTS ${dir}/${dll})
          set(dll_path ${dir}/${dll})
        endif()
      endforeach()
    endif()
    if(NOT EXISTS "${dll_path}")
      message(FATAL_ERROR "Runtime DLL ${dll} not found")
    endif()
    # Shipped without their debug information and symbol tables (most of
    # libstdc++-6.dll's 21 MB), and without a new time stamp from strip.
    set(shipped ${CMAKE_BINARY_DIR}/bin/${dll})
    if(NOT EXISTS ${shipped} OR ${dll_path} IS_NEWER_THAN ${shipped})
      file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
      execute_process(COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
                              ${CMAKE_STRIP} --strip-all -o ${shipped} ${dll_path}
                      RESULT_VARIABLE status)
      if(NOT status EQUAL 0)
        message(FATAL_ERROR "Stripping ${dll_path} failed")
      endif()
    endif()
    list(APPEND WIREDCLSTAB_RUNTIME_DLLS ${shipped})
  endforeach()
endif()
