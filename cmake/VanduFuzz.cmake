# libFuzzer targets: one program per fuzz/*.cpp, in a native clang tree
# (VANDU_FUZZ, see VanduSanitizers.cmake):
#   CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_TOOLCHAIN_FILE=cmake/linux-i386.cmake
if(NOT VANDU_FUZZ)
  return()
endif()

file(GLOB vandu_fuzzers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/*.cpp)
foreach(source IN LISTS vandu_fuzzers)
  get_filename_component(name ${source} NAME_WE)
  if(NOT name MATCHES "fuzz")
    set(name fuzz_${name})
  endif()
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE vandu_host)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  vandu_program(${name})
endforeach()

# Smoke runs for CI: a bounded number of inputs from the repository's corpus.
# New inputs go to a folder of the build tree, never into the repository.
foreach(source IN LISTS vandu_fuzzers)
  get_filename_component(name ${source} NAME_WE)
  set(work ${CMAKE_BINARY_DIR}/fuzz-work/${name})
  file(MAKE_DIRECTORY ${work})
  add_test(NAME fuzz.${name}
           COMMAND ${name} -runs=3000 -max_total_time=120 ${work}
                   ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
  # A small quarantine keeps ASan's 32-bit allocator within the address
  # space that qemu-user gives a guest over long runs. It is appended to the
  # caller's ASAN_OPTIONS, so detect_leaks follows the machine as for the
  # sanitized tree: off by the programs' defaults (sanitizer_defaults.c), on
  # where scripts/test.sh sets ASAN_OPTIONS=detect_leaks=1.
  set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 300
                       ENVIRONMENT_MODIFICATION "ASAN_OPTIONS=string_append::quarantine_size_mb=16")
endforeach()
