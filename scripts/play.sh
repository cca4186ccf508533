#!/usr/bin/env bash
# Installs what is missing, builds, and starts the engine in a window on a game folder: the
# one given (./scripts/play.sh GAME_DIR), else the demo game folder in the build tree.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j2 --target talvex talvex-windowed demo_game
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: start this from a desktop session (or set DISPLAY)." >&2
  exit 1
fi
exec build/default/game/talvex-windowed "${1:-build/default/game}"
