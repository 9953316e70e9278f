#!/usr/bin/env bash
# Installs what is missing, builds the window and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRIN_BUILD_TESTS=OFF >/dev/null
cmake --build build/release

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'MSG'
tavrin-links is built, but there is no display to show its window on
(neither DISPLAY nor WAYLAND_DISPLAY is set).
Start it from a desktop session, or under a virtual display:
    xvfb-run -a build/release/src/app/tavrin-links
On a machine without a display the command-line tool does the same job:
    build/release/src/cli/tavrin-links-cli --help
MSG
  exit 1
fi
exec build/release/src/app/tavrin-links
