#!/usr/bin/env bash
# Fails when an engine file includes a header from a higher floor. The floors, lowest first:
#   0 resources   1 platform   2 archive   3 graphics, sound   4 script   5 ui   6 app
#   7 tools, programs
# A folder may include its own headers and those of lower floors; graphics and sound do not
# include each other. Tests, fuzzers and benchmarks sit above them all.
set -euo pipefail
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root"

floor() {
  case "$1" in
    resources) echo 0 ;;
    platform) echo 1 ;;
    archive) echo 2 ;;
    graphics | sound) echo 3 ;;
    script) echo 4 ;;
    ui) echo 5 ;;
    app) echo 6 ;;
    tools | programs) echo 7 ;;
    *) echo "" ;;
  esac
}

status=0
for folder in resources platform archive graphics sound script ui app; do
  [ -d "$folder" ] || continue
  own=$(floor "$folder")
  while IFS= read -r line; do
    file=${line%%:*}
    rest=${line#*:}
    lineno=${rest%%:*}
    target=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"${rest#*:}")
    other=$(floor "$target")
    [ -n "$other" ] || continue
    if [ "$target" != "$folder" ] && { [ "$other" -gt "$own" ] || [ "$other" -eq "$own" ]; }; then
      echo "$file:$lineno: $folder (floor $own) includes $target (floor $other)" >&2
      status=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[a-z_]+/' "$folder" \
             --include='*.h' --include='*.cpp' --include='*.inc' || true)
done
[ "$status" -eq 0 ] && echo "include floors: every engine file looks down only"
exit "$status"
