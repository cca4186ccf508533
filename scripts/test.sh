#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the check that every engine folder
# includes only from its own floor and below, the test suite in the default build and under
# AddressSanitizer + UndefinedBehaviorSanitizer, the threaded tests under ThreadSanitizer,
# then a short run of each fuzz target; where Wine is installed, the Windows build and its
# checks under Wine (scripts/windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh clang libclang-rt-14-dev
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

echo "== include floors =="
./scripts/check-includes.sh

# The default build's results first, so that a newcomer sees them within minutes; then the
# sanitizers and the fuzzers.
status=0
for preset in default asan; do
  echo "== $preset =="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2
  ctest --preset "$preset" -j2 || status=1
done

# Only the tests that run the engine's threads (the ctest label "threads", one binary) are
# built and run under ThreadSanitizer; a single report fails the run.
echo "== tsan (threaded tests) =="
cmake --preset tsan >/dev/null
cmake --build --preset tsan --target threads_tests -j2
TSAN_OPTIONS="halt_on_error=1 ${TSAN_OPTIONS:-}" ctest --preset tsan -L threads --no-tests=error -j2 || status=1

echo "== fuzz (short runs) =="
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2
# Each target starts from a scratch copy of its seeds (so that what it finds is not written
# into the repo, nor are the inputs that fail it), with its dictionary where it has one; an
# input that runs longer than 10 s counts as a hang.
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  mkdir -p "$corpus/$name"
  if [ -d "fuzz/corpus/$name" ]; then cp -r "fuzz/corpus/$name/." "$corpus/$name/"; fi
  dict=()
  if [ -f "fuzz/dict/$name.dict" ]; then dict=(-dict="fuzz/dict/$name.dict"); fi
  if ! "$target" -max_total_time="${TALVEX_FUZZ_SECONDS:-15}" -rss_limit_mb=4096 -timeout=10 \
      -artifact_prefix="$corpus/$name-" "${dict[@]}" "$corpus/$name" >"$corpus/$name.log" 2>&1; then
    tail -n 40 "$corpus/$name.log"
    echo "fuzz target $name failed" >&2
    exit 1
  fi
  echo "$name: $(grep -o 'Done [0-9]* runs in [0-9]* second' "$corpus/$name.log")," \
    "$(grep -o 'exec/s: [0-9]*' "$corpus/$name.log" | tail -n 1)"
done

# The Windows programs: where Wine is installed (a fresh machine has none: scripts/windows.sh
# installs it, builds and checks, in about 20 minutes).
if command -v wine >/dev/null && command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
  echo "== Windows build, checked under Wine =="
  ./scripts/windows.sh || status=1
else
  echo "== Windows check skipped: Wine or mingw-w64 is not installed (run scripts/windows.sh) =="
fi
exit $status
