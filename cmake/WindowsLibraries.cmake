# The libraries of the Windows build: SDL2 and libpng built statically by scripts/windows.sh
# into TALVEX_WINDOWS_PREFIX, zlib from Debian's mingw-w64 package.
set(TALVEX_WINDOWS_PREFIX "" CACHE PATH "Prefix holding the Windows builds of SDL2 and libpng")
find_library(TALVEX_SDL2_LIBRARY NAMES libSDL2.a SDL2 REQUIRED)
find_path(TALVEX_SDL2_INCLUDE SDL.h PATH_SUFFIXES SDL2 REQUIRED)
find_library(TALVEX_PNG_LIBRARY NAMES libpng16.a png16 REQUIRED)
find_path(TALVEX_PNG_INCLUDE png.h REQUIRED)
find_library(TALVEX_ZLIB_LIBRARY NAMES libz.a z REQUIRED)

# The programs have their own main(): SDL2main is not used.
add_library(talvex_sdl2 INTERFACE)
target_include_directories(talvex_sdl2 INTERFACE ${TALVEX_SDL2_INCLUDE})
target_compile_definitions(talvex_sdl2 INTERFACE SDL_MAIN_HANDLED)
target_link_libraries(talvex_sdl2 INTERFACE ${TALVEX_SDL2_LIBRARY}
  user32 gdi32 winmm imm32 ole32 oleaut32 version uuid advapi32 setupapi shell32 dinput8)

add_library(talvex_png INTERFACE)
target_include_directories(talvex_png INTERFACE ${TALVEX_PNG_INCLUDE})
target_link_libraries(talvex_png INTERFACE ${TALVEX_PNG_LIBRARY} ${TALVEX_ZLIB_LIBRARY})
