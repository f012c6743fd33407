# What "cmake --install" lays out: the plug-in with a sample config.xml
# beside it (and, on Windows, the C++ runtime DLLs it shares with its host),
# wired-host, the host SDK headers, the examples and docs, and a CMake
# package so a host project can find_package(wiredClsTab). CPack zips it.
#
# A Windows build installs its own files into a folder named after its
# flavour (WIREDCLSTAB_FLAVOUR: win32-mingw, win64-mingw, ...), so several
# Windows builds installed into one prefix make one package with a folder per
# host build, each holding everything that build needs side by side; the
# headers, the CMake package, the docs and the examples are shared.
# scripts/package.sh does that for every Windows build there is.
include(CMakePackageConfigHelpers)

if(WIN32)
  set(WIREDCLSTAB_PLUGIN_DIR ${WIREDCLSTAB_FLAVOUR})
  # Beside the plug-in: it loads the wiredClsTab.dll next to itself, and the
  # runtime DLLs there serve both.
  set(WIREDCLSTAB_TOOL_DIR ${WIREDCLSTAB_FLAVOUR})
  set(WIREDCLSTAB_PLUGIN_NAME wiredClsTab.dll)
else()
  set(WIREDCLSTAB_PLUGIN_DIR lib/wiredClsTab)
  set(WIREDCLSTAB_TOOL_DIR bin)
  set(WIREDCLSTAB_PLUGIN_NAME libwiredClsTab.so)
endif()
set(WIREDCLSTAB_CMAKE_DIR lib/cmake/wiredClsTab)

# The file alone: hosts load it by name, so no import library ships.
install(FILES $<TARGET_FILE:wiredClsTab> DESTINATION ${WIREDCLSTAB_PLUGIN_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/examples/config.xml DESTINATION ${WIREDCLSTAB_PLUGIN_DIR})
if(WIN32 AND WIREDCLSTAB_RUNTIME_DLLS)
  install(FILES ${WIREDCLSTAB_RUNTIME_DLLS} DESTINATION ${WIREDCLSTAB_PLUGIN_DIR})
endif()
if(TARGET wired-host)
  install(TARGETS wired-host RUNTIME DESTINATION ${WIREDCLSTAB_TOOL_DIR})
endif()
# The symbols of the shipped binaries (cmake/ShippedBinary.cmake) go into a
# package of their own: "cmake --install --component symbols".
foreach(target wiredClsTab wired-host)
  if(TARGET ${target})
    get_target_property(symbols ${target} WIREDCLSTAB_SYMBOLS)
    if(symbols)
      install(FILES ${symbols} DESTINATION ${WIREDCLSTAB_TOOL_DIR} COMPONENT symbols EXCLUDE_FROM_ALL)
    endif()
  endif()
endforeach()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/kavri DESTINATION include)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/shop DESTINATION share/wiredClsTab/examples)
install(FILES ${PROJECT_SOURCE_DIR}/docs/config-format.md ${PROJECT_SOURCE_DIR}/docs/host-integration.md
              ${PROJECT_SOURCE_DIR}/docs/table-checks.md
        DESTINATION share/doc/wiredClsTab OPTIONAL)

set_target_properties(wiredClsTab_headers PROPERTIES EXPORT_NAME headers)
install(TARGETS wiredClsTab_headers EXPORT wiredClsTabTargets)
install(EXPORT wiredClsTabTargets NAMESPACE wiredClsTab:: DESTINATION ${WIREDCLSTAB_CMAKE_DIR})

# Every Windows build writes the same package files, whichever installs last:
# the config file picks the flavour folder at find time, and the version
# file leaves the pointer size to it. A Linux package holds one build, whose
# pointer size a host must match.
if(WIN32)
  set(WIREDCLSTAB_FOLDER_PER_FLAVOUR TRUE)
  set(WIREDCLSTAB_CONFIG_PLUGIN_DIR "")
  set(WIREDCLSTAB_CONFIG_FLAVOUR "")
  set(version_arch ARCH_INDEPENDENT)
else()
  set(WIREDCLSTAB_FOLDER_PER_FLAVOUR FALSE)
  set(WIREDCLSTAB_CONFIG_PLUGIN_DIR ${WIREDCLSTAB_PLUGIN_DIR})
  set(WIREDCLSTAB_CONFIG_FLAVOUR ${WIREDCLSTAB_FLAVOUR})
  set(version_arch "")
endif()
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/wiredClsTabConfig.cmake.in
  ${CMAKE_BINARY_DIR}/package/wiredClsTabConfig.cmake
  INSTALL_DESTINATION ${WIREDCLSTAB_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/wiredClsTabConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion ${version_arch})
install(FILES ${CMAKE_BINARY_DIR}/package/wiredClsTabConfig.cmake
              ${CMAKE_BINARY_DIR}/package/wiredClsTabConfigVersion.cmake
        DESTINATION ${WIREDCLSTAB_CMAKE_DIR})

set(CPACK_PACKAGE_NAME wiredClsTab)
set(CPACK_PACKAGE_VENDOR wiredClsTab)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Converter plug-in that maps model classes to database tables")
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME wiredClsTab-${PROJECT_VERSION}-${WIREDCLSTAB_FLAVOUR})
include(CPack)
