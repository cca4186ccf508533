#!/usr/bin/env bash
# Checks the Windows programs under Wine against the Linux build (both built already, by
# scripts/windows.sh):
#   1. `talvex-tool.exe run GAME --headless ... --dump DIR` on the demo's four replays, a sound
#      game and a picture game gives the same dumps (vars.bin, the planes' PNGs, sound.wav,
#      the logs) and the same saves as the Linux talvex-tool; the picture game runs from a
#      folder with a Chinese name, and from a path over 400 characters long.
#      `talvex-tool.exe build` makes the same game folders.
#   2. talvex-windowed.exe, started in a Chinese-named copy of the demo under Xvfb, shows its
#      window (screenshots in build/windows/check/), a second copy started from the same place
#      gives way at once, and the first quits through its confirmation box with status 0.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
linux_tool="$root/build/default/tools/talvex-tool"
windows_tool="$root/build/windows/tools/talvex-tool.exe"
windowed="$root/build/windows/game/talvex-windowed.exe"
demo="$root/build/default/game"
for f in "$linux_tool" "$windows_tool" "$windowed" "$demo/CHS.ARC"; do
  [ -e "$f" ] || { echo "windows-check: no $f (run scripts/windows.sh)" >&2; exit 1; }
done

out="$root/build/windows/check"
rm -rf "$out"
mkdir -p "$out"
export LANG=C.UTF-8
export WINEPREFIX="$root/build/windows/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
xvfb=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
started=$(date +%s)
# Every Wine program of the check shares one Wine session, which keeps the display it was
# started with: the virtual X server comes first.
number=81
while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$number"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$number" ] && break; sleep 0.1; done
wine cmd /c exit 0 >/dev/null 2>&1 || true  # makes the Wine prefix once, outside the timings

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# A copy of the demo game without programs and saves.
copy_demo() {
  mkdir -p "$1"
  for f in "$demo"/*; do
    case "$(basename "$f")" in talvex* | FLAG*) ;; *) cp "$f" "$1/" ;; esac
  done
}

# Runs one game on both systems from fresh copies and compares the dumps and the folders
# (saves included). Arguments: a name, the game folder, then the run's options.
compare_run() {
  local name=$1 game=$2
  shift 2
  local linux="$work/$name-linux" windows="$work/$name-windows"
  cp -r "$game" "$linux"
  cp -r "$game" "$windows"
  "$linux_tool" run "$linux" --headless --dump "$work/$name-linux.dump" "$@" \
    >"$work/$name-linux.log" 2>&1 || true
  (cd "$work" && wine "$windows_tool" run "$windows" --headless --dump "$work/$name-windows.dump" \
    "$@" >"$work/$name-windows.log" 2>&1) || true
  if [ ! -f "$work/$name-linux.dump/vars.bin" ]; then
    fail "$name: the Linux run made no dump"
  elif diff -r "$work/$name-linux.dump" "$work/$name-windows.dump" >"$work/$name.diff" 2>&1 &&
      diff -r "$linux" "$windows" >>"$work/$name.diff" 2>&1; then
    echo "same: $name ($(find "$work/$name-linux.dump" -type f | wc -l) dumped files)"
  else
    fail "$name: the Windows run differs"
    head -n 20 "$work/$name.diff" >&2
  fi
}

echo "== headless runs under Wine against Linux =="
copy_demo "$work/demo"
for replay in coast:2500,8500,23500,32500,88000,92000,94000,121000 tunnel:60000 \
    title_load:5000,20000 saves:10000,40000,80000; do
  input=${replay%%:*}
  compare_run "demo-$input" "$work/demo" --input "$root/demo/replay/$input.txt" \
    --until-ms 400000 --dump-at "${replay#*:}"
done

# A sound game and a picture game made from the reference's examples with the demo's
# sounds and pictures, built by both toolkits.
generated="$root/build/default/demo/generated"
mkdir -p "$work/sound-src/voice" "$work/picture-src"
cp docs/examples/sound.tvs "$work/sound-src/MAIN.tvs"
cp "$generated/M_TITLE.wav" "$work/sound-src/TITLE.wav"
cp "$generated/S_DOOR.wav" "$work/sound-src/DOOR.wav"
cp "$(find "$root/build/default/demo/voice" -name 'V_*.wav' | sort | head -n 1)" \
  "$work/sound-src/voice/V0001.wav"
cp docs/examples/transition.tvs "$work/picture-src/MAIN.tvs"
cp "$generated/HARBOR.png" "$work/picture-src/ROOM1.png"
cp "$generated/COAST.png" "$work/picture-src/ROOM2.png"
for kind in sound picture; do
  "$linux_tool" build "$work/$kind-src" "$work/$kind-game" >/dev/null
  (cd "$work" && wine "$windows_tool" build "$work/$kind-src" "$work/$kind-game-windows" >/dev/null 2>&1) || true
  if diff -r "$work/$kind-game" "$work/$kind-game-windows" >/dev/null 2>&1; then
    echo "same: the $kind game built by talvex-tool.exe"
  else
    fail "talvex-tool.exe build made a different $kind game"
  fi
done
compare_run sound "$work/sound-game" --until-ms 20000 --dump-at 500,3000,8000
mv "$work/picture-game" "$work/雾港的画"
compare_run "画面" "$work/雾港的画" --until-ms 3000 --dump-at 200,600,1200
# The same game from a path far longer than Windows' old 260-character limit.
long="$work/long"
for i in $(seq 12); do long="$long/a_folder_with_a_rather_long_name_$i"; done
mkdir -p "$long"
cp -r "$work/雾港的画" "$long/游戏"
(cd "$work" && wine "$windows_tool" run "$long/游戏" --headless --dump "$long/out" --until-ms 3000 \
  --dump-at 200,600,1200 >/dev/null 2>&1) || true
if diff -r "$work/画面-linux.dump" "$long/out" >/dev/null 2>&1; then
  echo "same: 画面 from a path of ${#long} characters"
else
  fail "the picture game run from a long path differs"
fi

echo "== talvex-windowed.exe under Xvfb =="
shot() { xwd -root -silent | convert xwd:- "png:$out/$1"; }
window_game="$work/雾港灯塔"
copy_demo "$window_game"
cp "$windowed" "$window_game/"
# A real window: the test command's dummy SDL drivers would reach the program through Wine.
(cd "$window_game" && exec env -u SDL_VIDEODRIVER -u SDL_AUDIODRIVER wine talvex-windowed.exe \
  >"$out/windowed.log" 2>&1) &
game_pid=$!
window=""
for _ in $(seq 120); do
  window=$(xdotool search --onlyvisible --name '雾港灯塔' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.5
done
if [ -z "$window" ]; then
  fail "talvex-windowed.exe showed no window"
else
  sleep 6  # the title's fade and music start
  shot windowed-title.png
  echo "window shown: $out/windowed-title.png"
  # A second copy from the same place gives way at once (the named mutex), status 0.
  second=0
  (cd "$window_game" && timeout 60 env -u SDL_VIDEODRIVER -u SDL_AUDIODRIVER \
    wine talvex-windowed.exe >/dev/null 2>&1) || second=$?
  if [ "$second" -ne 0 ]; then
    fail "a second talvex-windowed.exe from the same folder did not give way (status $second)"
  elif ! kill -0 "$game_pid" 2>/dev/null; then
    fail "the first talvex-windowed.exe ended when a second one started"
  else
    echo "a second copy gave way to the first (status 0)"
  fi
  xdotool windowactivate "$window" >/dev/null 2>&1 || true
  xdotool key --window "$window" alt+F4 2>/dev/null
  sleep 2
  shot windowed-confirm.png
  echo "confirmation box: $out/windowed-confirm.png"
  xdotool key Return 2>/dev/null
fi
status=""
for _ in $(seq 40); do
  if ! kill -0 "$game_pid" 2>/dev/null; then
    wait "$game_pid" && status=0 || status=$?
    break
  fi
  sleep 0.5
done
game_pid_left=$game_pid
game_pid=""
if [ -z "$status" ]; then
  kill -9 "$game_pid_left" 2>/dev/null || true
  fail "talvex-windowed.exe did not quit through its confirmation box"
elif [ "$status" -ne 0 ]; then
  fail "talvex-windowed.exe quit with status $status"
else
  echo "quit through the confirmation box with status 0"
fi

echo "windows-check: $failures failures in $(($(date +%s) - started)) s"
[ "$failures" -eq 0 ]
