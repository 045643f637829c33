# Cross-building for 64-bit Windows with Debian's mingw-w64:
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TELMORA_MINGW x86_64-w64-mingw32)
set(TELMORA_WINE wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
