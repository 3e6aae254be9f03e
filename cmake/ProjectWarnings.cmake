# Warnings for the project's own targets (not for third-party code).
function(quorvel_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /permissive-)
    if(QUORVEL_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE /WX)
    endif()
  else()
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow
      -Wold-style-cast -Woverloaded-virtual -Wnull-dereference -Wformat=2)
    if(QUORVEL_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
endfunction()

# A program whose `source` parses its arguments with CLI11: GCC 12 at -O2 sees a null
# dereference in std::string moves inlined from CLI11's argument splitting; a known
# false positive, not our code's.
function(quorvel_cli11_program target source)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    set_source_files_properties(${source} TARGET_DIRECTORY ${target}
      PROPERTIES COMPILE_OPTIONS -Wno-null-dereference)
  endif()
endfunction()
