#!/usr/bin/env bash
# Installs everything the builds and tests need on a fresh Debian 12 machine,
# then builds the static mingw-w64 dependencies (tools/build-mingw-deps.sh).
# Safe to run again: packages already installed are not looked at again, and
# the mingw dependencies are built only when ~/.cache/quorvel lacks them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

packages=(
  build-essential cmake ninja-build pkg-config git zip unzip file
  libxml2-dev libzint-dev libcmark-dev libzip-dev zlib1g-dev libdmtx-dev libdouble-conversion-dev
  debootstrap
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 gcc-mingw-w64-i686 gcc-mingw-w64-x86-64
  mingw-w64-tools binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 libz-mingw-w64-dev
  wine wine32:i386 wine64
  xvfb xauth imagemagick xdotool x11-utils xcompmgr dmtx-utils
  libxml2-utils python3 chromium
  valgrind clang libclang-rt-14-dev lld
  libgtk-3-dev openbox libwebkit2gtk-4.1-0
)

src_list=/etc/apt/sources.list.d/quorvel-src.sources
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
need_src=0
[ -f "$src_list" ] || need_src=1

if [ ${#missing[@]} -gt 0 ] || [ $need_src -eq 1 ]; then
  export DEBIAN_FRONTEND=noninteractive
  # wine32 is an i386 package.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  if [ $need_src -eq 1 ]; then
    # Source packages of the libraries that are built for mingw: the binary
    # package sources again, as deb-src.
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
        | $SUDO tee "$src_list" >/dev/null
    elif [ -f /etc/apt/sources.list ]; then
      # One-line format: becomes a deb822 file with the same suites.
      grep -E '^deb ' /etc/apt/sources.list | while read -r _ uri suite comps; do
        printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n\n' "$uri" "$suite" "$comps"
      done | $SUDO tee "$src_list" >/dev/null
    else
      echo "setup.sh: no apt sources found to derive a deb-src entry from" >&2
      exit 1
    fi
  fi
  echo "setup.sh: apt-get update"
  $SUDO apt-get update -qq
  if [ ${#missing[@]} -gt 0 ]; then
    echo "setup.sh: installing ${missing[*]}"
    $SUDO apt-get install -y -qq "${missing[@]}" >/tmp/quorvel-apt.log 2>&1 \
      || { tail -n 40 /tmp/quorvel-apt.log >&2; exit 1; }
  fi
fi

"$here/build-mingw-deps.sh" i686
"$here/build-mingw-deps.sh" x86_64
