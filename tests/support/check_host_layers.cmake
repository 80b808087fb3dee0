# The embedded host's layers depend one way: the Maya-named headers depend on
# nothing of the host's own, and the stand-in and its scene model never
# include the harness. Fails when
#   1. a header under host/include/maya includes a khost header;
#   2. a host source or header other than the harness's own files
#      (host/src/harness*.cpp, host/include/khost/harness.h) includes
#      <khost/harness.h>.
#
# -DHOST_DIR=<host>
cmake_minimum_required(VERSION 3.25)
if(NOT DEFINED HOST_DIR)
  message(FATAL_ERROR "check_host_layers.cmake needs -DHOST_DIR=...")
endif()

file(GLOB api_headers ${HOST_DIR}/include/maya/*)
file(GLOB_RECURSE host_files ${HOST_DIR}/include/*.h ${HOST_DIR}/src/*.h ${HOST_DIR}/src/*.cpp ${HOST_DIR}/src/*.inc)
list(LENGTH api_headers api_count)
list(LENGTH host_files file_count)
if(api_count LESS 40 OR file_count LESS 80)
  message(FATAL_ERROR "found only ${api_count} API headers and ${file_count} host files under ${HOST_DIR}")
endif()

set(violations "")
foreach(f ${api_headers})
  file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]khost/")
  if(lines)
    list(APPEND violations "${f}: ${lines}")
  endif()
endforeach()

set(harness_count 0)
foreach(f ${host_files})
  get_filename_component(name ${f} NAME)
  file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](khost/)?harness\\.h[>\"]")
  if(name MATCHES "^harness.*\\.(cpp|h)$")
    if(lines)
      math(EXPR harness_count "${harness_count} + 1")
    endif()
  elseif(lines)
    list(APPEND violations "${f}: ${lines}")
  endif()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "host files that include a layer above their own:\n  ${text}")
endif()
if(harness_count EQUAL 0)
  message(FATAL_ERROR "no harness source includes <khost/harness.h>: the check looks at the wrong files")
endif()
message(STATUS "${api_count} API headers and ${file_count} host files; ${harness_count} harness files include the harness header, no other does")
