# Cross build of the 32-bit Windows DLL with mingw-w64. The -posix compilers
# carry std::thread and std::mutex, which GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(VANDU_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${VANDU_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VANDU_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VANDU_MINGW_PREFIX}-windres)
set(CMAKE_OBJDUMP ${VANDU_MINGW_PREFIX}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${VANDU_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread linked in, so that the DLL and the test
# programs need nothing beside them but Windows' own libraries.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")

# ctest runs the Windows programs under Wine.
get_filename_component(_vandu_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_vandu_root}/scripts/wine-run.sh")
