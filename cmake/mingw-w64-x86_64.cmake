# Cross-build for 64-bit Windows with Debian's MinGW-w64 compilers (the posix thread model):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The executables are linked statically (libstdc++, libgcc, winpthread), so that evstat.exe
# needs no DLL beside it: only the system's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(EVSTAT_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${EVSTAT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${EVSTAT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${EVSTAT_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${EVSTAT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
