# vandu_core: entry point, host services, list store and platform layer as a
# static library. The Windows build adds the list window and the DLL entry;
# the native build takes the POSIX bodies.
vandu_platform_sources(vandu_core_sources src/entry src/host src/lists src/platform)
if(WIN32)
  vandu_platform_sources(vandu_area_sources src/area)
  list(APPEND vandu_core_sources ${vandu_area_sources})
else()
  list(FILTER vandu_core_sources EXCLUDE REGEX "/src/entry/dllmain\\.cpp$")
endif()

add_library(vandu_core STATIC ${vandu_core_sources})
target_include_directories(vandu_core PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/res)
target_link_libraries(vandu_core PRIVATE vandu_options)
target_compile_features(vandu_core PUBLIC cxx_std_17)
if(WIN32)
  target_compile_definitions(vandu_core PUBLIC NOMINMAX)
  target_link_libraries(vandu_core PUBLIC user32 gdi32 kernel32)
endif()
