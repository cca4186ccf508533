#!/usr/bin/env bash
# Builds talvex.exe, talvex-windowed.exe and talvex-tool.exe for 64-bit Windows on this Linux
# machine with mingw-w64, statically linked, and checks them under Wine
# (scripts/windows-check.sh).
#
#   scripts/windows.sh [--no-check]
#
# SDL2 and libpng are built once from Debian's own source packages (apt-get source) with the
# same toolchain, into build/windows-deps/prefix; zlib is Debian's mingw-w64 package. The font
# tables come from the host build's generator (build/default), which also gives the demo game
# and the Linux programs the check compares with.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
check=1
[ "${1:-}" = "--no-check" ] && check=0

./scripts/install-deps.sh g++-mingw-w64-x86-64 libz-mingw-w64-dev dpkg-dev \
  wine wine64 xvfb xdotool x11-apps imagemagick

as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)

deps="$root/build/windows-deps"
prefix="$deps/prefix"
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
started=$(date +%s)

# Debian's source packages need a deb-src entry; add one for the release this machine runs.
enable_sources() {
  if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    . /etc/os-release
    echo "Adding a deb-src entry for Debian $VERSION_CODENAME"
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "$VERSION_CODENAME" | "${as_root[@]}" tee /etc/apt/sources.list.d/talvex-deb-src.sources >/dev/null
    "${as_root[@]}" apt-get update -q
  fi
}

# One library from its Debian source package, configured by CMake for Windows.
build_library() {
  local package=$1 built=$2
  shift 2
  [ -f "$prefix/lib/$built" ] && return
  enable_sources
  mkdir -p "$deps/src"
  (cd "$deps/src" && rm -rf "$package"-* && apt-get source -q "$package" >/dev/null 2>&1 \
    || { echo "apt-get source $package failed" >&2; exit 1; })
  local source
  source=$(find "$deps/src" -maxdepth 1 -type d -name "$package-*" | head -n 1)
  echo "== building $(basename "$source") for Windows =="
  cmake -S "$source" -B "$deps/build-$package" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >"$deps/$package.log"
  cmake --build "$deps/build-$package" -j2 >>"$deps/$package.log"
  cmake --install "$deps/build-$package" >>"$deps/$package.log"
}
build_library libsdl2 libSDL2.a -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF
build_library libpng1.6 libpng16.a -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
  -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON

echo "== host build (font generator, toolkit, demo game) =="
cmake --preset default >/dev/null
cmake --build --preset default -j2 --target talvex_font_table_generator talvex-tool demo_game

echo "== Windows build =="
cmake --preset windows >/dev/null
cmake --build --preset windows -j2
finished=$(date +%s)
echo "built in $((finished - started)) s:"
for program in build/windows/game/talvex.exe build/windows/game/talvex-windowed.exe \
    build/windows/tools/talvex-tool.exe; do
  echo "  $program: $(stat -c %s "$program") bytes"
  # Nothing but the system's own libraries may be needed beside the program.
  if x86_64-w64-mingw32-objdump -p "$program" | grep 'DLL Name' |
      grep -viqE 'KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|OLE32|OLEAUT32|IMM32|WINMM|VERSION|SETUPAPI|msvcrt'; then
    echo "$program needs a library that is not part of Windows" >&2
    exit 1
  fi
done

[ "$check" -eq 1 ] && ./scripts/windows-check.sh
exit 0
