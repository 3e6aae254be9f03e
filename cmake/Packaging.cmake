# The players' package: `cmake --build --preset windows --target package` makes a ZIP,
# the release preset a .tar.gz, one folder holding the two tools, the example scenarios
# and the players' guide, and apart from them, in a folder of their own, what only the
# simulator uses: its test build of the plugin module and the stand-in host library it
# runs the module on, with a note saying so. The plugin for the real host is not in it:
# a module for the real host is built with the host's own compiler.
install(TARGETS quorvel-report quorvel-sim RUNTIME DESTINATION .)
install(TARGETS QuorvelPlugin pluginsdk
  RUNTIME DESTINATION ${QUORVEL_SIMULATOR_FOLDER} LIBRARY DESTINATION ${QUORVEL_SIMULATOR_FOLDER})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/tools/quorvel-sim/scenarios/ DESTINATION scenarios
  FILES_MATCHING PATTERN "*.json")
# The texts with the platform's line ends (Notepad on older Windows shows a file of bare
# line feeds as one long line) and its file names.
if(WIN32)
  set(text_line_ends CRLF)
else()
  set(text_line_ends UNIX)
endif()
set(QUORVEL_PROGRAM_SUFFIX ${CMAKE_EXECUTABLE_SUFFIX})
set(QUORVEL_MODULE_FILE QuorvelPlugin${CMAKE_SHARED_MODULE_SUFFIX})
set(QUORVEL_HOST_FILE pluginsdk${CMAKE_SHARED_LIBRARY_SUFFIX})
configure_file(${PROJECT_SOURCE_DIR}/docs/players-guide.txt
  ${PROJECT_BINARY_DIR}/players-guide.txt @ONLY NEWLINE_STYLE ${text_line_ends})
configure_file(${PROJECT_SOURCE_DIR}/docs/simulator-folder.txt
  ${PROJECT_BINARY_DIR}/simulator-folder/README.txt @ONLY NEWLINE_STYLE ${text_line_ends})
install(FILES ${PROJECT_BINARY_DIR}/players-guide.txt DESTINATION .)
install(FILES ${PROJECT_BINARY_DIR}/simulator-folder/README.txt DESTINATION ${QUORVEL_SIMULATOR_FOLDER})
if(NOT WIN32)
  # The simulator finds the stand-in host in its folder, wherever the package is
  # unpacked; a module loaded there binds to that same library.
  set_target_properties(quorvel-sim PROPERTIES INSTALL_RPATH "$ORIGIN/${QUORVEL_SIMULATOR_FOLDER}")
  set_target_properties(QuorvelPlugin PROPERTIES INSTALL_RPATH "$ORIGIN")
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
