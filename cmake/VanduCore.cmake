# The core (entry point, host services, list store, list window and platform
# layer) as two static libraries of the same sources:
#   vandu_core       the shipped build, linked whole into Vandu.dll: no test
#                    hooks
#   vandu_test_core  the test build, linked by the tests: VANDU_TEST_HOOKS
#                    and the test-only sources add fault injection, the
#                    allocation counters and the reports the tests read
# The Windows build adds the DLL entry and takes the Win32 bodies; the native
# build takes the POSIX bodies and the recording body of the window layer.
vandu_platform_sources(vandu_core_sources src/entry src/host src/lists src/area src/platform)
if(WIN32)
  list(FILTER vandu_core_sources EXCLUDE REGEX "/src/platform/window_record\\.cpp$")
else()
  list(FILTER vandu_core_sources EXCLUDE REGEX "/src/entry/dllmain\\.cpp$")
endif()
set(vandu_test_hook_sources ${PROJECT_SOURCE_DIR}/src/platform/fault.cpp)
list(REMOVE_ITEM vandu_core_sources ${vandu_test_hook_sources})

# The version, set once by project(), for the resource script and the code.
configure_file(${PROJECT_SOURCE_DIR}/res/vandu_version.h.in
               ${PROJECT_BINARY_DIR}/generated/vandu_version.h @ONLY)

function(vandu_add_core target)
  add_library(${target} STATIC ${ARGN})
  target_include_directories(${target} PUBLIC
    ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/res ${PROJECT_BINARY_DIR}/generated)
  target_link_libraries(${target} PRIVATE vandu_options)
  target_compile_features(${target} PUBLIC cxx_std_17)
  if(WIN32)
    target_compile_definitions(${target} PUBLIC NOMINMAX)
    target_link_libraries(${target} PUBLIC user32 gdi32 kernel32)
  endif()
endfunction()

vandu_add_core(vandu_core ${vandu_core_sources})
vandu_add_core(vandu_test_core ${vandu_core_sources} ${vandu_test_hook_sources})
target_compile_definitions(vandu_test_core PUBLIC VANDU_TEST_HOOKS)
# Natively nothing ships: every program links the test build through the
# host. The shipped build is compiled where it ships, in the Windows tree.
if(NOT WIN32)
  set_target_properties(vandu_core PROPERTIES EXCLUDE_FROM_ALL ON)
endif()
