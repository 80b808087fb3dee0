# Locates a Maya devkit under MAYA_DEVKIT_LOCATION (a devkitBase folder, or
# a Maya install, which carries the same include/ and lib/ folders) and
# provides the imported target Maya::Maya with the include folder and the
# OpenMaya, OpenMayaUI, OpenMayaRender and Foundation libraries. Also defines
# the platform macros the host's build recipes define, and
# maya_set_plugin_suffix(), which names the module as the host expects (.so
# on Linux, .mll on Windows, .bundle on macOS, never with a "lib" prefix).
#
# Reads MAYA_API_VERSION from the devkit's maya/MTypes.h and sets
#   KNOTLENS_MAYA_API_VERSION  e.g. 20250100
#   KNOTLENS_MAYA_VERSION      the release, e.g. 2025 (the .mod's MAYAVERSION)
# A devkit of another release than 2025 stops the configure step unless
# KNOTLENS_ALLOW_OTHER_MAYA is on.
#
# Fails at configure time, naming what is missing, when MAYA_DEVKIT_LOCATION
# does not hold a devkit.

if(NOT IS_DIRECTORY "${MAYA_DEVKIT_LOCATION}")
  message(FATAL_ERROR "MAYA_DEVKIT_LOCATION='${MAYA_DEVKIT_LOCATION}' is not a folder. "
    "Point it at a Maya 2025 devkitBase folder or Maya install, or leave it empty to build against the embedded host.")
endif()

find_path(MAYA_INCLUDE_DIR maya/MFnPlugin.h
  PATHS "${MAYA_DEVKIT_LOCATION}/include" "${MAYA_DEVKIT_LOCATION}/devkit/include"
        "${MAYA_DEVKIT_LOCATION}/../../devkit/include"
  NO_DEFAULT_PATH NO_CACHE)
if(NOT MAYA_INCLUDE_DIR)
  message(FATAL_ERROR "No Maya devkit headers under MAYA_DEVKIT_LOCATION='${MAYA_DEVKIT_LOCATION}': "
    "expected include/maya/MFnPlugin.h. Install the Maya 2025 devkit and point MAYA_DEVKIT_LOCATION at its devkitBase folder.")
endif()

# The API version the devkit builds for.
set(_maya_types "${MAYA_INCLUDE_DIR}/maya/MTypes.h")
set(KNOTLENS_MAYA_API_VERSION "")
if(EXISTS "${_maya_types}")
  file(STRINGS "${_maya_types}" _maya_version_line
    REGEX "^[ \t]*#[ \t]*define[ \t]+MAYA_API_VERSION[ \t]+[0-9]+")
  if(_maya_version_line)
    list(GET _maya_version_line 0 _maya_version_line)
    string(REGEX REPLACE ".*MAYA_API_VERSION[ \t]+([0-9]+).*" "\\1" KNOTLENS_MAYA_API_VERSION "${_maya_version_line}")
  endif()
endif()
if(NOT KNOTLENS_MAYA_API_VERSION)
  message(FATAL_ERROR "Cannot read MAYA_API_VERSION from ${_maya_types}: "
    "MAYA_DEVKIT_LOCATION='${MAYA_DEVKIT_LOCATION}' does not look like a Maya devkit.")
endif()
string(LENGTH "${KNOTLENS_MAYA_API_VERSION}" _maya_version_digits)
if(_maya_version_digits EQUAL 8)
  string(SUBSTRING "${KNOTLENS_MAYA_API_VERSION}" 0 4 KNOTLENS_MAYA_VERSION)
elseif(_maya_version_digits EQUAL 6)
  string(SUBSTRING "${KNOTLENS_MAYA_API_VERSION}" 0 4 KNOTLENS_MAYA_VERSION)
else()
  message(FATAL_ERROR "Unexpected MAYA_API_VERSION ${KNOTLENS_MAYA_API_VERSION} in ${_maya_types}.")
endif()
if(KNOTLENS_MAYA_API_VERSION LESS 20250000 OR KNOTLENS_MAYA_API_VERSION GREATER 20259999)
  if(NOT KNOTLENS_ALLOW_OTHER_MAYA)
    message(FATAL_ERROR "The devkit at MAYA_DEVKIT_LOCATION='${MAYA_DEVKIT_LOCATION}' is for Maya ${KNOTLENS_MAYA_VERSION} "
      "(MAYA_API_VERSION ${KNOTLENS_MAYA_API_VERSION}); knotlens is made for Maya 2025 (20250000 to 20259999). "
      "Use a Maya 2025 devkit, or configure with -DKNOTLENS_ALLOW_OTHER_MAYA=ON to build for Maya ${KNOTLENS_MAYA_VERSION} untested.")
  endif()
  message(WARNING "Building for Maya ${KNOTLENS_MAYA_VERSION} (MAYA_API_VERSION ${KNOTLENS_MAYA_API_VERSION}), "
    "which knotlens is not tested with (KNOTLENS_ALLOW_OTHER_MAYA is on).")
endif()

if(APPLE)
  set(_maya_lib_hints "${MAYA_DEVKIT_LOCATION}/Maya.app/Contents/MacOS" "${MAYA_DEVKIT_LOCATION}/lib"
                      "${MAYA_DEVKIT_LOCATION}/devkit/lib")
else()
  set(_maya_lib_hints "${MAYA_DEVKIT_LOCATION}/lib" "${MAYA_DEVKIT_LOCATION}/devkit/lib")
endif()

set(MAYA_LIBRARIES "")
foreach(_lib OpenMaya OpenMayaUI OpenMayaRender Foundation)
  find_library(MAYA_${_lib}_LIBRARY NAMES ${_lib} PATHS ${_maya_lib_hints} NO_DEFAULT_PATH NO_CACHE)
  if(NOT MAYA_${_lib}_LIBRARY)
    message(FATAL_ERROR "Maya library '${_lib}' not found under MAYA_DEVKIT_LOCATION='${MAYA_DEVKIT_LOCATION}' "
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
message(STATUS "Maya devkit: ${MAYA_INCLUDE_DIR} (Maya ${KNOTLENS_MAYA_VERSION}, API ${KNOTLENS_MAYA_API_VERSION})")
unset(_maya_types)
unset(_maya_version_line)
unset(_maya_version_digits)
unset(_maya_lib_hints)

function(maya_set_plugin_suffix target)
  if(WIN32)
    set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".mll")
  elseif(APPLE)
    set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".bundle")
  else()
    set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".so")
  endif()
endfunction()
