# wiredclstab_shipped_binary(TARGET DESCRIPTION "..." [MANIFEST file])
#
# What a program or DLL that ships in the Windows package carries beyond
# its code: a version resource from the project's version (what Explorer's
# Properties > Details shows), an application manifest for a program, and
# its debug information moved out into a symbols file beside it, which ships
# in a zip of its own:
#  - mingw: the image keeps a build id and a .gnu_debuglink naming
#    <file>.debug, which gdb and WinDbg's DWARF support find; its load
#    configuration (stackguard/LoadConfig_mingw.c) is named in its data
#    directory, which GNU ld leaves empty;
#  - Visual Studio's ABI: <name>.pdb, named in the image by its file name
#    alone (/pdbaltpath), so no build path is written into it.
# Call it in the folder that defines TARGET (it adds a post-build step).
# Other platforms ship as they are.
function(wiredclstab_shipped_binary target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "DESCRIPTION;MANIFEST" "")
  if(NOT WIN32)
    return()
  endif()

  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(VERSION_FILE_TYPE 1)          # VFT_APP
    set(VERSION_FILE_SUFFIX .exe)
  else()
    set(VERSION_FILE_TYPE 2)          # VFT_DLL
    set(VERSION_FILE_SUFFIX .dll)
  endif()
  set(VERSION_NAME ${target})
  set(VERSION_DESCRIPTION "${arg_DESCRIPTION} (${WIREDCLSTAB_FLAVOUR})")
  set(VERSION_COMMA ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0)
  set(VERSION_MANIFEST "")
  if(arg_MANIFEST)
    get_filename_component(manifest ${arg_MANIFEST} ABSOLUTE)
    # CREATEPROCESS_MANIFEST_RESOURCE_ID of type RT_MANIFEST.
    set(VERSION_MANIFEST "1 24 \"${manifest}\"")
    set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc APPEND PROPERTY OBJECT_DEPENDS ${manifest})
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)

  if(MINGW)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    # objcopy and strip would write the time into the image again. The load
    # configuration (stackguard/LoadConfig_mingw.c) is named in the image
    # last: strip rewrites the headers.
    set(tools ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${tools} ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
      COMMAND ${tools} ${CMAKE_STRIP} --strip-all $<TARGET_FILE:${target}>
      COMMAND ${tools} ${CMAKE_OBJCOPY} --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug $<TARGET_FILE:${target}>
      COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/cmake/set_load_config.py
        $<TARGET_FILE:${target}> ${CMAKE_NM} $<TARGET_FILE:${target}>.debug
      VERBATIM)
    set(symbols $<TARGET_FILE:${target}>.debug)
  else()
    # /DEBUG would keep unreferenced functions and folds none; a release
    # image wants both.
    target_link_options(${target} PRIVATE /DEBUG /pdbaltpath:%_PDB% /OPT:REF /OPT:ICF)
    set(symbols $<TARGET_PDB_FILE:${target}>)
  endif()
  set_property(TARGET ${target} APPEND PROPERTY WIREDCLSTAB_SYMBOLS ${symbols})
endfunction()
