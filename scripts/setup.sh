#!/usr/bin/env bash
# Installs every Debian 12 package the project needs. Safe to run again: it
# only calls apt-get when something is missing.
#   scripts/setup.sh [--fuzz]   (--fuzz: also clang and libFuzzer, for scripts/fuzz.sh)
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config clang-format
  qt6-base-dev
  libmpg123-dev mpg123 libout123-0
  libcurl4-openssl-dev
  libcpp-httplib-dev libsqlite3-dev libpq-dev postgresql iproute2
  libcli11-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick
  lame sox
  desktop-file-utils appstream dpkg-dev file dbus-daemon libglib2.0-bin
  python3-mutagen
  libtag1-dev libxxhash-dev xxhash
  libchromaprint-dev libchromaprint-tools espeak-ng
)
# Only for the fuzz targets (scripts/fuzz.sh): the compiler and its libFuzzer
# and sanitizer run-times.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
if [ "${1:-}" = "--fuzz" ]; then
  PACKAGES+=("${FUZZ_PACKAGES[@]}")
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
