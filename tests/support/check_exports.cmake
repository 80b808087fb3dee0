# Lists the dynamic symbols a module defines and fails unless they are exactly
# initializePlugin(MObject), uninitializePlugin(MObject) (C++ linkage, as the
# host declares them), MApiVersion and ADSK_PLUGIN_SIGNATURE.
find_program(NM nm REQUIRED)
execute_process(COMMAND ${NM} -D -C --defined-only --format=posix ${MODULE}
  OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${MODULE}")
endif()
string(REPLACE "\n" ";" lines "${out}")
set(found "")
foreach(line ${lines})
  # posix format: "<name> <type> <value> [<size>]"; demangled names hold spaces
  # only inside parentheses, so cut at the type letter.
  string(REGEX REPLACE " [A-Za-z] [0-9a-f]+( [0-9a-f]+)?$" "" sym "${line}")
  if(sym)
    list(APPEND found ${sym})
  endif()
endforeach()
list(SORT found)
set(expected "ADSK_PLUGIN_SIGNATURE" "MApiVersion" "initializePlugin(MObject)" "uninitializePlugin(MObject)")
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "module exports [${found}], expected [${expected}]")
endif()
message(STATUS "module exports exactly: ${found}")
