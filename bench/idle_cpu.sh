#!/usr/bin/env bash
# Idle CPU: the windowed program under a virtual X server, left on a page that waits for a
# click. Prints the share of one core the whole process (every thread) used over the measured
# span, from utime + stime in /proc/PID/stat, for three games:
#   still   a picture and two lines of text, nothing moving, no sound (goal: at most 1 %)
#   music   the same page with looping music (goal: at most 3 %)
#   demo    the demo's title: music, the lighthouse's beam and the animated cursor
# The first two are built here from docs/examples/text_window.tvs and the demo's music.
#
#   bench/idle_cpu.sh [BUILD_DIR] [SECONDS] [RUNS]     (defaults: build/default 10 3)
#
# Each run starts the program afresh, waits 3 s for it to settle, then measures. The machine
# may be shared: look at the median of the runs.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
seconds="${2:-10}"
runs="${3:-3}"
program="$build/game/talvex-windowed"
tool="$build/tools/talvex-tool"
[ -x "$program" ] || { echo "no $program: build first" >&2; exit 1; }
work=$(mktemp -d)

# The still page, and the same with music (system flag bit 0x0200 lets call 5 play).
mkdir -p "$work/still-src" "$work/music-src"
cp docs/examples/text_window.tvs "$work/still-src/MAIN.tvs"
{
  echo '    SET_REG16 28, R16(28) | 0x0300'
  echo '    SYSCALL 5, 0, "TITLE.WAV"'
  cat docs/examples/text_window.tvs
} >"$work/music-src/MAIN.tvs"
cp "$build/demo/generated/M_TITLE.wav" "$work/music-src/TITLE.wav"
for kind in still music; do
  "$tool" build "$work/$kind-src" "$work/$kind" >/dev/null
done

# A display number nobody uses.
number=71
while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
pid=""
cleanup() {
  # SDL turns SIGTERM into a close request the game may answer with a box: kill outright.
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$number" ] && break; sleep 0.1; done

hz=$(getconf CLK_TCK)
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# One game: RUNS runs, then the median.
measure() {
  local name=$1 game=$2
  local results=()
  for run in $(seq "$runs"); do
    DISPLAY=":$number" "$program" "$game" >/dev/null 2>&1 &
    pid=$!
    sleep 3
    local before after
    before=$(ticks "$pid")
    sleep "$seconds"
    after=$(ticks "$pid")
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=""
    results+=("$(awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" \
      'BEGIN { printf "%.2f", 100 * t / hz / s }')")
  done
  echo "$name: runs ${results[*]} % of a core; median $(printf '%s\n' "${results[@]}" | sort -n |
    awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }') %"
}
measure still "$work/still"
measure music "$work/music"
measure demo "$build/game"
