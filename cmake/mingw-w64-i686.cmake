# Cross-builds the Windows program for 32-bit Windows (g++-mingw-w64-i686-win32), which 64-bit Windows runs
# too, and Windows 11 on ARM.
set(QUILLMARK_MINGW_TARGET i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
