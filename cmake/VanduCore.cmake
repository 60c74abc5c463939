# vandu_core: entry point, host services, list store, list window and
# platform layer as a static library. The Windows build adds the DLL entry
# and takes the Win32 bodies; the native build takes the POSIX bodies and the
# recording body of the window layer.
vandu_platform_sources(vandu_core_sources src/entry src/host src/lists src/area src/platform)
if(WIN32)
  list(FILTER vandu_core_sources EXCLUDE REGEX "/src/platform/window_record\\.cpp$")
else()
  list(FILTER vandu_core_sources EXCLUDE REGEX "/src/entry/dllmain\\.cpp$")
endif()

# The version, set once by project(), for the resource script and the code.
configure_file(${PROJECT_SOURCE_DIR}/res/vandu_version.h.in
               ${PROJECT_BINARY_DIR}/generated/vandu_version.h @ONLY)

add_library(vandu_core STATIC ${vandu_core_sources})
target_include_directories(vandu_core PUBLIC
  ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/res ${PROJECT_BINARY_DIR}/generated)
target_link_libraries(vandu_core PRIVATE vandu_options)
target_compile_features(vandu_core PUBLIC cxx_std_17)
if(WIN32)
  target_compile_definitions(vandu_core PUBLIC NOMINMAX)
  target_link_libraries(vandu_core PUBLIC user32 gdi32 kernel32)
endif()
