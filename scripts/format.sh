#!/usr/bin/env bash
# Formats every C++ source of the project with clang-format (.clang-format at
# the root). With --check it changes nothing and fails when a file drifts.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if ! command -v clang-format >/dev/null; then
  echo "clang-format is missing (scripts/setup.sh installs it)" >&2
  exit 1
fi
mapfile -d '' files < <(git ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
  # One clang-format run over every file; it names each file that drifts.
  if ! out=$(clang-format --dry-run --Werror "${files[@]}" 2>&1); then
    echo "Not formatted (run scripts/format.sh):" >&2
    grep -o '^[^:]*:[0-9]*:[0-9]*: error' <<<"$out" | cut -d: -f1 | sort -u | sed 's/^/  /' >&2
    exit 1
  fi
  exit 0
fi
clang-format -i "${files[@]}"
