# Native 32-bit Linux build (gcc or clang with -m32). The records and the host
# protocol have the product's 32-bit layout, so the native build is i386 too.
# Not a cross build: the programs run directly (through qemu-i386 where the
# kernel cannot execute i386 binaries, see scripts/setup.sh).
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
