# 32-bit x86 build on an x86-64 Debian machine with gcc-multilib: the raster records and the
# plug-in's argument slots are checked at their fixed i386 byte offsets in this build.
# Marking it a cross build lets CMAKE_CROSSCOMPILING_EMULATOR (qemu-i386, where the kernel does
# not run i386 programs) wrap every test run, test discovery included.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -m32)
