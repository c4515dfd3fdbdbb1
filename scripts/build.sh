#!/usr/bin/env bash
# Configures and builds the whole project into build/ (or $MV_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${MV_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DMV_WERROR=ON ${MV_CMAKE_ARGS:-}
cmake --build "$build" -j "$(nproc)"
