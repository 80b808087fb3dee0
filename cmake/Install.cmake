# Install rules that lay out a Maya module folder:
#
#   <prefix>/knotlens.mod
#   <prefix>/plug-ins/knotlens(.so | .mll | .bundle)
#   <prefix>/scripts/AEQVTK_Tessark_DrawManagerNodeTemplate.mel
#   <prefix>/scripts/knotlens_create.py
#   <prefix>/scripts/knotlensCreateUI.mel, knotlensDeleteUI.mel (the menu)
#
# The .mod file sits beside plug-ins/ and scripts/, so its module path is "."
# (resolved relative to the .mod file). Adding <prefix> to MAYA_MODULE_PATH is
# all Maya needs to find the plug-in, the Attribute Editor template, the menu
# and the creation script.
#
# Works with the embedded host (to test the layout) and with a real devkit.
# Include it after the knotlens target is defined. Every rule belongs to the
# install component "knotlens_module", so
#   cmake --install <build> --component knotlens_module --prefix <dir>
# installs exactly this folder, whatever else the project installs.

if(NOT TARGET knotlens)
  message(FATAL_ERROR "cmake/Install.cmake must be included after the knotlens target is defined")
endif()

# Without an explicit prefix, install into the build tree rather than
# scattering a module folder over /usr/local or Program Files.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX "${PROJECT_BINARY_DIR}/knotlens-module" CACHE PATH
    "Folder that receives the Maya module (knotlens.mod, plug-ins/, scripts/)" FORCE)
endif()

# The platform keyword of the module file's header line.
if(WIN32)
  set(KNOTLENS_MODULE_PLATFORM win64)
elseif(APPLE)
  set(KNOTLENS_MODULE_PLATFORM mac)
else()
  set(KNOTLENS_MODULE_PLATFORM linux)
endif()
# The Maya release the module is for: the devkit's (cmake/MayaDevkit.cmake),
# or 2025 for the embedded host.
if(NOT KNOTLENS_MAYA_VERSION)
  set(KNOTLENS_MAYA_VERSION 2025)
endif()
set(KNOTLENS_MODULE_VERSION "${knotlens_VERSION}")
set(KNOTLENS_MODULE_RELPATH ".")

set(KNOTLENS_MODULE_COMPONENT knotlens_module)
set(_knotlens_mod_file "${PROJECT_BINARY_DIR}/module/knotlens.mod")
configure_file("${CMAKE_CURRENT_LIST_DIR}/knotlens.mod.in" "${_knotlens_mod_file}" @ONLY)

install(FILES "${_knotlens_mod_file}" DESTINATION . COMPONENT ${KNOTLENS_MODULE_COMPONENT})

# A MODULE library installs as LIBRARY on every platform; RUNTIME is listed in
# case a generator treats the Windows .mll as a runtime artefact.
install(TARGETS knotlens
  LIBRARY DESTINATION plug-ins COMPONENT ${KNOTLENS_MODULE_COMPONENT}
  RUNTIME DESTINATION plug-ins COMPONENT ${KNOTLENS_MODULE_COMPONENT})

install(FILES
    "${CMAKE_CURRENT_LIST_DIR}/../scripts/AEQVTK_Tessark_DrawManagerNodeTemplate.mel"
    "${CMAKE_CURRENT_LIST_DIR}/../scripts/knotlens_create.py"
    "${CMAKE_CURRENT_LIST_DIR}/../scripts/knotlensCreateUI.mel"
    "${CMAKE_CURRENT_LIST_DIR}/../scripts/knotlensDeleteUI.mel"
  DESTINATION scripts
  COMPONENT ${KNOTLENS_MODULE_COMPONENT})

unset(_knotlens_mod_file)
