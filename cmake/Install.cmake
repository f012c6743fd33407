# What "cmake --install" lays out: the plug-in with a sample config.xml
# beside it (and, on Windows, the C++ runtime DLLs it shares with its host),
# the host SDK headers, wired-host, the examples and docs, and a CMake
# package so a host project can find_package(wiredClsTab). CPack zips it.
include(CMakePackageConfigHelpers)

if(WIN32)
  # Beside wired-host.exe, which loads it and provides the runtime DLLs.
  set(WIREDCLSTAB_PLUGIN_DIR bin)
  set(WIREDCLSTAB_PLUGIN_NAME wiredClsTab.dll)
else()
  set(WIREDCLSTAB_PLUGIN_DIR lib/wiredClsTab)
  set(WIREDCLSTAB_PLUGIN_NAME libwiredClsTab.so)
endif()
set(WIREDCLSTAB_CMAKE_DIR lib/cmake/wiredClsTab)

# The file alone: hosts load it by name, so no import library ships.
install(FILES $<TARGET_FILE:wiredClsTab> DESTINATION ${WIREDCLSTAB_PLUGIN_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/examples/config.xml DESTINATION ${WIREDCLSTAB_PLUGIN_DIR})
if(WIN32)
  install(FILES ${WIREDCLSTAB_RUNTIME_DLLS} DESTINATION bin)
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/kavri DESTINATION include)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/shop DESTINATION share/wiredClsTab/examples)
install(FILES ${PROJECT_SOURCE_DIR}/docs/config-format.md ${PROJECT_SOURCE_DIR}/docs/host-integration.md
        DESTINATION share/doc/wiredClsTab OPTIONAL)

set_target_properties(wiredClsTab_headers PROPERTIES EXPORT_NAME headers)
install(TARGETS wiredClsTab_headers EXPORT wiredClsTabTargets)
install(EXPORT wiredClsTabTargets NAMESPACE wiredClsTab:: DESTINATION ${WIREDCLSTAB_CMAKE_DIR})

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/wiredClsTabConfig.cmake.in
  ${CMAKE_BINARY_DIR}/package/wiredClsTabConfig.cmake
  INSTALL_DESTINATION ${WIREDCLSTAB_CMAKE_DIR}
  PATH_VARS WIREDCLSTAB_PLUGIN_DIR)
# The version check also compares pointer sizes: a host must match the
# plug-in's 32 or 64 bits.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/wiredClsTabConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/wiredClsTabConfig.cmake
              ${CMAKE_BINARY_DIR}/package/wiredClsTabConfigVersion.cmake
        DESTINATION ${WIREDCLSTAB_CMAKE_DIR})

set(CPACK_PACKAGE_NAME wiredClsTab)
set(CPACK_PACKAGE_VENDOR wiredClsTab)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Converter plug-in that maps model classes to database tables")
set(CPACK_GENERATOR ZIP)
if(WIN32)
  set(CPACK_PACKAGE_FILE_NAME wiredClsTab-${PROJECT_VERSION}-win32)
else()
  set(CPACK_PACKAGE_FILE_NAME wiredClsTab-${PROJECT_VERSION}-linux)
endif()
include(CPack)
