# What every Windows program and DLL of the build is made with, so that the
# plug-in is a good guest in another vendor's process: stack cookies,
# address-space randomisation (DYNAMICBASE, and HIGH_ENTROPY_VA in 64 bits),
# no execution of data (NX_COMPAT), no build path and no time in the image.
# Included before any target is defined. The Visual Studio builds get most
# of theirs from msvc-cross/Toolchain.cmake and the stand-ins for Visual
# Studio's runtime (msvc-cross/crt/), as a Visual Studio build would from
# its defaults; the mingw builds get all of theirs here.
if(NOT WIN32)
  return()
endif()

# The Visual Studio cross build names no absolute path at all: its
# toolchain runs the compiler and the linker with paths relative to the
# build folder (msvc-cross/Toolchain.cmake).
if(WIREDCLSTAB_MSVC_CROSS)
  return()
elseif(MSVC)
  # Visual Studio itself (not run here): what the cross build's toolchain
  # adds to Visual Studio's defaults.
  add_compile_options(/guard:cf)
  add_link_options(/guard:cf)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    add_link_options(/CETCOMPAT)
  endif()
  return()
endif()

# No absolute path of the machine that built it: __FILE__ and the debug
# information name files relative to the source and build folders. The
# build folder is named last, so it wins when it lies inside the sources.
add_compile_options(
  -ffile-prefix-map=${PROJECT_SOURCE_DIR}=.
  -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)

# Stack cookies, with gcc's support built here (stackguard/) and linked into
# each program and DLL as an object, not from libssp-0.dll. The option stays
# off the link line, where gcc would add libssp.
add_compile_options(-fstack-protector-strong)

add_subdirectory(${PROJECT_SOURCE_DIR}/stackguard ${PROJECT_BINARY_DIR}/stackguard)
link_libraries(stackguard)

# No time stamp (two builds of one commit are byte for byte the same); a
# build id instead, which ties the image to its separate symbols; Windows
# Vista (6.0) as the oldest system, which is what the C++ runtime needs;
# randomised and non-executable data. The 32-bit images register no SEH
# handler (DWARF-2 unwinding does without), and say so: Windows then never
# looks for one in them.
add_link_options(
  -Wl,--no-insert-timestamp
  -Wl,--build-id
  -Wl,--major-subsystem-version,6 -Wl,--minor-subsystem-version,0
  -Wl,--major-os-version,6 -Wl,--minor-os-version,0
  -Wl,--dynamicbase -Wl,--nxcompat)
# Programs say they are aware of Terminal Services, as Visual Studio marks
# every program it links: Windows then spares them its compatibility layer
# for old ones on a remote desktop server.
add_link_options($<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:-Wl,--tsaware>)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  add_link_options(-Wl,--high-entropy-va)
else()
  add_link_options(-Wl,--no-seh)
endif()
