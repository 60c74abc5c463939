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
