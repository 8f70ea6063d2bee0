# Cross-builds the core's tests for 32-bit x86 Linux (g++-i686-linux-gnu), run by CTest through
# qemu-i386-static (qemu-user-static) called directly: nothing is registered with the kernel. The C library is
# linked dynamically, as its iconv finds its GBK converter in a module of its own (a static one looks for the
# module all the same); the preset points qemu at Debian's i386 C library unpacked into the build tree
# (tools/i386-packages.sh), none installed. The C++ library goes in statically.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)
set(CMAKE_FIND_ROOT_PATH /usr/i686-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libstdc++ -static-libgcc")
