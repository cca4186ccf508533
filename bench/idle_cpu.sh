#!/usr/bin/env bash
# Idle CPU: the windowed program on the demo game under a virtual X server, left on its first
# page, which waits for a click. Prints the share of one core the whole process (every thread)
# used over the measured span, from utime + stime in /proc/PID/stat.
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
game="$build/game"
[ -x "$program" ] || { echo "no $program: build first" >&2; exit 1; }

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
}
trap cleanup EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$number" ] && break; sleep 0.1; done

hz=$(getconf CLK_TCK)
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
results=()
for run in $(seq "$runs"); do
  DISPLAY=":$number" "$program" "$game" >/dev/null 2>&1 &
  pid=$!
  sleep 3
  before=$(ticks "$pid")
  sleep "$seconds"
  after=$(ticks "$pid")
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=""
  percent=$(awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" \
    'BEGIN { printf "%.2f", 100 * t / hz / s }')
  echo "run $run: $percent % of a core"
  results+=("$percent")
done
printf '%s\n' "${results[@]}" | sort -n | awk '{ v[NR] = $1 } END { print "median: " v[int((NR + 1) / 2)] " % of a core" }'
