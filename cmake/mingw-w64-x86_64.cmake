# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the POSIX thread model, which
# std::thread and std::mutex need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TALVEX_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${TALVEX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALVEX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TALVEX_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${TALVEX_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${TALVEX_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

# Libraries come from the mingw sysroot and from the prefix the Windows script builds SDL2 and
# libpng into (TALVEX_WINDOWS_PREFIX); programs (the font table generator) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TALVEX_MINGW_TRIPLE} ${TALVEX_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
