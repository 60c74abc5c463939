# Sanitized native build: -DVANDU_SANITIZE=ON. A native clang tree is a fuzzing
# tree (VANDU_FUZZ, on by default there). Every target of such a tree is
# instrumented, GoogleTest included, so that container annotations agree.
option(VANDU_SANITIZE "Build with the sanitizers of VANDU_SANITIZERS" OFF)
set(VANDU_SANITIZERS "address,undefined" CACHE STRING
    "Sanitizers of a VANDU_SANITIZE build (undefined alone where ASan cannot run)")

if(CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND NOT WIN32)
  set(vandu_fuzz_default ON)
else()
  set(vandu_fuzz_default OFF)
endif()
option(VANDU_FUZZ "Build the libFuzzer targets of fuzz/ (clang only)" ${vandu_fuzz_default})

if((VANDU_SANITIZE OR VANDU_FUZZ) AND WIN32)
  message(FATAL_ERROR "VANDU_SANITIZE and VANDU_FUZZ are for the native build")
endif()
if(VANDU_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "VANDU_FUZZ needs clang (libFuzzer)")
endif()

if(VANDU_FUZZ)
  set(vandu_sanitizers "address,undefined")
  add_compile_options(-fsanitize=fuzzer-no-link)
elseif(VANDU_SANITIZE)
  set(vandu_sanitizers "${VANDU_SANITIZERS}")
endif()
if(vandu_sanitizers)
  add_compile_options(-fsanitize=${vandu_sanitizers} -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${vandu_sanitizers})
  # Programs of this tree carry the runtime defaults of sanitizer_defaults.c.
  set(VANDU_SANITIZER_DEFAULTS ON)
else()
  set(VANDU_SANITIZER_DEFAULTS OFF)
endif()
