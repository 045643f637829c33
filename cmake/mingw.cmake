# Shared part of the two MinGW toolchain files, which set TELMORA_MINGW (the target triple)
# and TELMORA_WINE (the Wine loader that runs the target's programs).
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model gives the full C++ thread library; its runtime is linked statically.
set(CMAKE_C_COMPILER ${TELMORA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TELMORA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TELMORA_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TELMORA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A Windows machine has no MinGW runtime DLLs: libgcc, libstdc++ and winpthread go inside
# every DLL and program, which then import only system libraries.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -static)

# Tests run under Wine, through a wrapper that keeps it quiet and non-interactive.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine.sh ${TELMORA_WINE})
