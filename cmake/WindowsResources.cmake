# A Windows program's resources: the application manifest (long paths, Windows 10,
# run as the invoker), the version information and the icon, all from cmake/windows/.
# The icon is drawn by cmake/windows/make-icon.py; the .ico it writes is committed.
function(quorvel_windows_resources target description)
  if(NOT WIN32)
    return()
  endif()
  set(QUORVEL_RC_PROGRAM ${target})
  set(QUORVEL_RC_DESCRIPTION "${description}")
  set(QUORVEL_RC_MANIFEST ${PROJECT_SOURCE_DIR}/cmake/windows/quorvel.manifest)
  set(QUORVEL_RC_ICON ${PROJECT_SOURCE_DIR}/cmake/windows/quorvel.ico)
  set(QUORVEL_RC_VERSION_COMMAS
    "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/program.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES
    OBJECT_DEPENDS "${QUORVEL_RC_MANIFEST};${QUORVEL_RC_ICON}")
endfunction()
