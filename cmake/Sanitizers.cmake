# AddressSanitizer + UndefinedBehaviorSanitizer for every target of the build
# when KNOTLENS_SANITIZE is on (see the "asan" preset).
if(KNOTLENS_SANITIZE)
  if(MSVC)
    message(FATAL_ERROR "KNOTLENS_SANITIZE is supported with GCC and Clang only")
  endif()
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
