# Checks that installing the report page's packages refuses a package whose content is
# not the one the lock file pins: the lock's integrity hash is altered, and npm ci must
# fail with EINTEGRITY (from npm's cache, which the build filled: no network needed).
# Run as: cmake -DNPM=... -DSOURCE=<folder with package.json and package-lock.json>
#         -DWORK=<scratch folder> -P this file
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${SOURCE}/package.json DESTINATION ${WORK})
file(READ ${SOURCE}/package-lock.json lock)
string(REGEX MATCH "\"integrity\": \"sha512-[A-Za-z0-9+/]" found "${lock}")
if(NOT found)
  message(FATAL_ERROR "the lock file pins no sha512 integrity hash")
endif()
string(REGEX REPLACE "(\"integrity\": \"sha512-)[A-Za-z0-9+/]" "\\1A" altered "${lock}")
if(altered STREQUAL lock)
  string(REGEX REPLACE "(\"integrity\": \"sha512-)[A-Za-z0-9+/]" "\\1B" altered "${lock}")
endif()
file(WRITE ${WORK}/package-lock.json "${altered}")
execute_process(COMMAND ${NPM} ci --offline --no-audit --no-fund --prefix ${WORK}
  RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT failed)
  message(FATAL_ERROR "npm ci installed a package whose hash is not the lock file's")
endif()
if(NOT "${out}${err}" MATCHES "EINTEGRITY")
  message(FATAL_ERROR "npm ci failed, but not on the integrity check:\n${out}${err}")
endif()
message(STATUS "npm ci refuses a package that does not match the lock file")
