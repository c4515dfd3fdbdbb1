#!/usr/bin/env bash
# Builds the project and starts it. Until the main window lands this runs the
# command-line duplicate search on the folder given, or on a small demo
# collection made on the spot.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${MV_BUILD_DIR:-$root/build}
"$root/scripts/build.sh"
if [ $# -ge 1 ]; then
  exec "$build/bin/mp3vandrel-cli" dupes "$@"
fi
demo=$(mktemp -d)
"$build/bin/mv-gen-collection" --files 300 --seed 7 --out "$demo" >/dev/null
echo "Demo collection in $demo"
exec "$build/bin/mp3vandrel-cli" dupes "$demo"
