# Locates a Maya 2025 devkit (or a Maya install, which carries the same
# include/ and lib/ folders) under MAYA_LOCATION and provides the imported
# target Maya::Maya with the include folder and the OpenMaya, OpenMayaUI,
# OpenMayaRender and Foundation libraries. Also defines the platform macros
# the host's build recipes define, and maya_set_plugin_suffix(), which names
# the module as the host expects (.so on Linux, .mll on Windows, .bundle on
# macOS, never with a "lib" prefix).
#
# Fails at configure time, naming what is missing, when MAYA_LOCATION does
# not hold a devkit.

if(NOT IS_DIRECTORY "${MAYA_LOCATION}")
  message(FATAL_ERROR "MAYA_LOCATION='${MAYA_LOCATION}' is not a folder. "
    "Point it at a Maya 2025 install or devkit root, or leave it empty to build against the embedded host.")
endif()

find_path(MAYA_INCLUDE_DIR maya/MFnPlugin.h
  PATHS "${MAYA_LOCATION}/include" "${MAYA_LOCATION}/devkit/include" "${MAYA_LOCATION}/../../devkit/include"
  NO_DEFAULT_PATH)
if(NOT MAYA_INCLUDE_DIR)
  message(FATAL_ERROR "No Maya devkit headers under MAYA_LOCATION='${MAYA_LOCATION}': "
    "expected include/maya/MFnPlugin.h. Install the Maya 2025 devkit and point MAYA_LOCATION at its root.")
endif()

if(APPLE)
  set(_maya_lib_hints "${MAYA_LOCATION}/Maya.app/Contents/MacOS" "${MAYA_LOCATION}/lib" "${MAYA_LOCATION}/devkit/lib")
else()
  set(_maya_lib_hints "${MAYA_LOCATION}/lib" "${MAYA_LOCATION}/devkit/lib")
endif()

set(MAYA_LIBRARIES "")
foreach(_lib OpenMaya OpenMayaUI OpenMayaRender Foundation)
  find_library(MAYA_${_lib}_LIBRARY NAMES ${_lib} PATHS ${_maya_lib_hints} NO_DEFAULT_PATH)
  if(NOT MAYA_${_lib}_LIBRARY)
    message(FATAL_ERROR "Maya library '${_lib}' not found under MAYA_LOCATION='${MAYA_LOCATION}' "
      "(looked in: ${_maya_lib_hints}).")
  endif()
  list(APPEND MAYA_LIBRARIES ${MAYA_${_lib}_LIBRARY})
endforeach()

add_library(Maya::Maya INTERFACE IMPORTED)
target_include_directories(Maya::Maya INTERFACE "${MAYA_INCLUDE_DIR}")
target_link_libraries(Maya::Maya INTERFACE ${MAYA_LIBRARIES})
target_compile_definitions(Maya::Maya INTERFACE REQUIRE_IOSTREAM _BOOL)
if(WIN32)
  target_compile_definitions(Maya::Maya INTERFACE NT_PLUGIN)
elseif(APPLE)
  target_compile_definitions(Maya::Maya INTERFACE OSMac_ MAC_PLUGIN)
else()
  target_compile_definitions(Maya::Maya INTERFACE LINUX)
endif()
message(STATUS "Maya devkit: ${MAYA_INCLUDE_DIR}")

function(maya_set_plugin_suffix target)
  if(WIN32)
    set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".mll")
  elseif(APPLE)
    set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".bundle")
  else()
    set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".so")
  endif()
endfunction()
