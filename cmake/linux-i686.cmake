# 32-bit x86 Linux with the host's multilib g++ (package g++-multilib) and the i386 libraries of
# Debian's multiarch; the programs run here through qemu-i386 in binfmt_misc when the kernel has
# no 32-bit execution of its own.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
# SSE arithmetic everywhere, as the libraries ask for: a test computing its expected value through
# the x87's wider registers would round differently from the code it checks.
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
