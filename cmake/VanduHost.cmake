# The substitute host: the library vandu_host (the test fixture) and the
# script runner vandu-host. Native: it links the test build of the core (the
# unit tests link both, so they must agree). Windows: it loads Vandu.dll at
# run time from beside the program.
vandu_platform_sources(vandu_host_sources tools/host)
list(FILTER vandu_host_sources EXCLUDE REGEX "/tools/host/main\\.cpp$")

if(vandu_host_sources)
  add_library(vandu_host STATIC ${vandu_host_sources})
  set(vandu_host_scope PUBLIC)
  target_link_libraries(vandu_host PRIVATE vandu_options)
else()
  # No sources yet: an interface target keeps the dependants configurable.
  add_library(vandu_host INTERFACE)
  set(vandu_host_scope INTERFACE)
endif()
target_include_directories(vandu_host ${vandu_host_scope}
  ${PROJECT_SOURCE_DIR}/tools/host ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/res)
target_compile_features(vandu_host ${vandu_host_scope} cxx_std_17)
# Screenshots are written with stb_image_write (Debian's libstb-dev, headers
# only; the tests decode them with its stb_image). The folder holds nothing
# but stb's headers, so the cross build may take it too.
find_path(VANDU_STB_INCLUDE_DIR stb_image_write.h
  PATHS /usr/include/stb /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
target_include_directories(vandu_host SYSTEM ${vandu_host_scope} ${VANDU_STB_INCLUDE_DIR})
if(WIN32)
  # Its windows: real top-level windows, painted and read back through GDI.
  target_link_libraries(vandu_host ${vandu_host_scope} user32 gdi32)
else()
  target_link_libraries(vandu_host ${vandu_host_scope} vandu_test_core)
endif()

if(EXISTS ${PROJECT_SOURCE_DIR}/tools/host/main.cpp)
  add_executable(vandu-host ${PROJECT_SOURCE_DIR}/tools/host/main.cpp)
  target_link_libraries(vandu-host PRIVATE vandu_host)
  vandu_program(vandu-host)
  if(WIN32)
    add_dependencies(vandu-host Vandu)
  endif()
endif()
