# Warnings for project code (never for third-party code), as errors when
# KNOTLENS_WARNINGS_AS_ERRORS is on: the project's presets and CI turn it on;
# a plain build against a devkit leaves it off, so that a newer compiler's
# new warning does not stop it.
function(knotlens_set_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
    if(KNOTLENS_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE /WX)
    endif()
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
      -Wnon-virtual-dtor -Woverloaded-virtual -Wconversion -Wno-sign-conversion)
    if(KNOTLENS_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
endfunction()
