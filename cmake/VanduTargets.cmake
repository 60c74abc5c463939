# Settings shared by the project's own targets (not GoogleTest's).

add_library(vandu_options INTERFACE)
target_compile_features(vandu_options INTERFACE cxx_std_17)
target_compile_options(vandu_options INTERFACE
  $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra>)
if(WIN32)
  target_compile_definitions(vandu_options INTERFACE NOMINMAX)
endif()

# Source files of a subsystem folder, minus the bodies of the other platform:
# *_win32.cpp belong to the Windows build, *_posix.cpp to the native build.
function(vandu_platform_sources out)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND files ${found})
  endforeach()
  if(WIN32)
    list(FILTER files EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER files EXCLUDE REGEX "_win32\\.cpp$")
  endif()
  list(SORT files)
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# Every executable of the project: common options, and in a sanitized tree the
# runtime defaults that let the programs run under qemu-i386.
function(vandu_program target)
  target_link_libraries(${target} PRIVATE vandu_options)
  if(VANDU_SANITIZER_DEFAULTS)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/sanitizer_defaults.c)
  endif()
endfunction()
