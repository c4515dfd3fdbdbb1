#!/usr/bin/env bash
# Builds the project and starts the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${MV_BUILD_DIR:-$root/build}
"$root/scripts/build.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No desktop to show the window on (DISPLAY is not set)." >&2
  echo "Without one, the duplicate finder runs as: $build/bin/mp3vandrel-cli dupes FOLDER" >&2
  exit 1
fi
exec "$build/bin/mp3vandrel" "$@"
