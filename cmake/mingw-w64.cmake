# Cross-builds the Windows program on Debian with mingw-w64, linked statically so that quillmark.exe and the
# test executables need no DLL beyond Windows' own: 64-bit Windows (g++-mingw-w64-x86-64-win32), or 32-bit
# Windows when mingw-w64-i686.cmake sets QUILLMARK_MINGW_TARGET first (g++-mingw-w64-i686-win32).
if(NOT QUILLMARK_MINGW_TARGET)
  set(QUILLMARK_MINGW_TARGET x86_64)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${QUILLMARK_MINGW_TARGET})
set(CMAKE_C_COMPILER ${QUILLMARK_MINGW_TARGET}-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER ${QUILLMARK_MINGW_TARGET}-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER ${QUILLMARK_MINGW_TARGET}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QUILLMARK_MINGW_TARGET}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
