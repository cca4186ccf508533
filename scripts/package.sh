#!/usr/bin/env bash
# Release packages in build/packages/:
#   talvex-VERSION-windows-x64.zip   the Windows programs (scripts/windows.sh builds them)
#   talvex-VERSION-linux-x86_64.tar.gz   the Linux programs of the default build
# Each holds the demo game folder with the game programs beside its settings file, the
# toolkit, and a short text on how to play.
#
#   scripts/package.sh [windows|linux|both]     (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
which=${1:-both}
version=$(sed -n 's/^project(talvex VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
dest="$root/build/packages"
mkdir -p "$dest"
./scripts/install-deps.sh python3

if [ "$which" != windows ]; then
  cmake --preset default >/dev/null
  cmake --build --preset default -j2 --target talvex talvex-windowed talvex-tool demo_game
fi
if [ "$which" != linux ] && [ ! -x build/windows/tools/talvex-tool.exe ]; then
  ./scripts/windows.sh --no-check
fi

# The demo game's files, without programs and saves, into $1.
copy_game() {
  mkdir -p "$1"
  for f in build/default/game/*; do
    case "$(basename "$f")" in talvex* | FLAG* | DUMP-*) ;; *) cp "$f" "$1/" ;; esac
  done
}

# How to play; $1 is the system ("Windows" or "Linux").
how_to_play() {
  local start_window start_full tool
  if [ "$1" = Windows ]; then
    start_window="double-click talvex-windowed.exe in the folder 雾港灯塔"
    start_full="talvex.exe plays it full screen"
    tool="talvex-tool.exe (run it from a command prompt: talvex-tool.exe --help)"
  else
    start_window="run ./talvex-windowed in the folder 雾港灯塔"
    start_full="./talvex plays it full screen"
    tool="talvex-tool (./talvex-tool --help); the programs need SDL2 and libpng
(Debian: apt-get install libsdl2-2.0-0 libpng16-16)"
  fi
  cat <<EOF
TALVEX $version for $1, with the demo game 《雾港灯塔》 (The Lighthouse of the Foggy Harbour)

Playing
  To start: $start_window; $start_full.
  The settings file TVXCHS.INI and the saves (FLAG01..FLAG03) live beside the programs.

  - Enter or a click goes on; Up, Down and Enter, or the mouse, choose; Ctrl held skips.
  - In the tunnel: the arrow keys walk, or click the view (top: forward, sides: turn,
    bottom: back).
  - S saves and L loads (three slots), also from the right-click command menu.
  - Space shows the item window; Tab hides the message window.
  - Alt+F4 (or closing the window) asks before the game ends. The right-click menu has the
    volume dialog and the screen modes; Alt+Enter or F11 switches the windowed program to
    full screen and back.

Making games
  The toolkit is $tool.
  The sources, the reference for game makers and the walk-through from an empty folder to a
  packed game are in the project's repository (docs/making-a-game.md).
EOF
}

package() {
  local system=$1 name=$2
  local stage
  stage=$(mktemp -d)
  local top="$stage/$name"
  copy_game "$top/雾港灯塔"
  if [ "$system" = Windows ]; then
    cp build/windows/game/talvex.exe build/windows/game/talvex-windowed.exe "$top/雾港灯塔/"
    cp build/windows/tools/talvex-tool.exe "$top/"
    how_to_play Windows | sed 's/$/\r/' >"$top/README.txt"
    rm -f "$dest/$name.zip"
    # Python's zipfile marks names as UTF-8 (flag 0x800), which Windows reads: the folder
    # 雾港灯塔 keeps its name.
    (cd "$stage" && python3 -c '
import os, sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    for folder, _, files in os.walk(sys.argv[2]):
        for f in sorted(files):
            z.write(os.path.join(folder, f))
' "$dest/$name.zip" "$name")
    echo "$dest/$name.zip: $(stat -c %s "$dest/$name.zip") bytes"
  else
    cp build/default/game/talvex build/default/game/talvex-windowed "$top/雾港灯塔/"
    cp build/default/tools/talvex-tool "$top/"
    strip "$top/雾港灯塔/talvex" "$top/雾港灯塔/talvex-windowed" "$top/talvex-tool"
    how_to_play Linux >"$top/README.txt"
    tar -C "$stage" -czf "$dest/$name.tar.gz" "$name"
    echo "$dest/$name.tar.gz: $(stat -c %s "$dest/$name.tar.gz") bytes"
  fi
  rm -rf "$stage"
}

[ "$which" != linux ] && package Windows "talvex-$version-windows-x64"
[ "$which" != windows ] && package Linux "talvex-$version-linux-x86_64"
exit 0
