# Builds a universal (x86_64 + arm64) module on macOS unless the caller chose
# the architectures. Maya 2025 runs natively on both Intel and Apple silicon,
# and a module file cannot pick a binary by architecture, so one bundle must
# carry both.
#
# CMAKE_OSX_ARCHITECTURES feeds the compiler checks of project() and the
# OSX_ARCHITECTURES property of every target, so this file must be included
# before the first project() call. APPLE is not defined yet at that point;
# the host platform (or an explicit CMAKE_SYSTEM_NAME from the command line)
# decides instead.
if(DEFINED CMAKE_SYSTEM_NAME)
  set(_knotlens_target_is_mac FALSE)
  if(CMAKE_SYSTEM_NAME STREQUAL "Darwin")
    set(_knotlens_target_is_mac TRUE)
  endif()
else()
  set(_knotlens_target_is_mac ${CMAKE_HOST_APPLE})
endif()

if(_knotlens_target_is_mac AND NOT CMAKE_OSX_ARCHITECTURES)
  set(CMAKE_OSX_ARCHITECTURES "x86_64;arm64" CACHE STRING
    "Architectures of the macOS build (a universal Maya module by default)")
endif()
unset(_knotlens_target_is_mac)
