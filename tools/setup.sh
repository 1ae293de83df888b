#!/usr/bin/env bash
# Installs everything the builds and tests need on a fresh Debian 12 machine.
# Safe to run again: apt-get skips what is already there, and the mingw
# dependencies are built only when the cache under ~/.cache/quorvel lacks them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

packages=(
  build-essential cmake ninja-build pkg-config git zip unzip
  libxml2-dev libzint-dev libcmark-dev libzip-dev zlib1g-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 gcc-mingw-w64-i686 gcc-mingw-w64-x86-64
  mingw-w64-tools binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 libz-mingw-w64-dev
  wine wine32:i386 wine64
  xvfb xauth imagemagick xdotool x11-utils xcompmgr dmtx-utils libdmtx-dev
  libxml2-utils python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
need_src=0
[ -f /etc/apt/sources.list.d/quorvel-src.sources ] || need_src=1
if [ ${#missing[@]} -gt 0 ] || [ $need_src -eq 1 ]; then
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  if [ $need_src -eq 1 ]; then
    # Source packages for the mingw builds of the libraries.
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      | $SUDO tee /etc/apt/sources.list.d/quorvel-src.sources >/dev/null
  fi
  $SUDO apt-get update -qq
  [ ${#missing[@]} -eq 0 ] || $SUDO apt-get install -y -qq "${missing[@]}"
fi

"$here/build-mingw-deps.sh" i686
"$here/build-mingw-deps.sh" x86_64
