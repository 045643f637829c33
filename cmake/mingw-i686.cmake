# Cross-building for 32-bit Windows with Debian's mingw-w64:
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TELMORA_MINGW i686-w64-mingw32)
set(TELMORA_WINE wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
