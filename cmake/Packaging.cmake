# The players' package: `cmake --build --preset windows --target package` makes a ZIP,
# the release preset a .tar.gz. It holds the two tools, the stand-in host library the
# simulator runs the plugin on, the example scenarios and the players' guide, in one
# folder. The test build of the plugin module is not in it: a module for the real host
# is built with the host's own compiler.
set(package_programs quorvel-report quorvel-sim pluginsdk)
install(TARGETS ${package_programs} RUNTIME DESTINATION . LIBRARY DESTINATION .)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/tools/quorvel-sim/scenarios/ DESTINATION scenarios
  FILES_MATCHING PATTERN "*.json")
# The guide with the platform's line ends: Notepad on older Windows shows a file of
# bare line feeds as one long line.
if(WIN32)
  set(guide_line_ends CRLF)
else()
  set(guide_line_ends UNIX)
endif()
configure_file(${PROJECT_SOURCE_DIR}/docs/players-guide.txt
  ${PROJECT_BINARY_DIR}/players-guide.txt @ONLY NEWLINE_STYLE ${guide_line_ends})
install(FILES ${PROJECT_BINARY_DIR}/players-guide.txt DESTINATION .)
if(NOT WIN32)
  # The simulator finds pluginsdk.so beside it, wherever the folder is unpacked.
  set_target_properties(quorvel-sim PROPERTIES INSTALL_RPATH "$ORIGIN")
endif()

set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR Quorvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Reports on Quorvel performance files, and a session simulator")
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME quorvel-${PROJECT_VERSION}-windows-x64)
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_PACKAGE_FILE_NAME quorvel-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
endif()
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR}/package)
include(CPack)
