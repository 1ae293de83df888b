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
  debootstrap qemu-user-static
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 gcc-mingw-w64-i686 gcc-mingw-w64-x86-64
  mingw-w64-tools binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 libz-mingw-w64-dev
  wine wine32:i386 wine64
  xvfb xauth imagemagick xdotool x11-utils xcompmgr dmtx-utils
  libxml2-utils python3 chromium
  valgrind clang libclang-rt-14-dev lld
  libgtk-3-dev openbox libwebkit2gtk-4.1-0
)

src_list=${QUORVEL_SRC_LIST:-/etc/apt/sources.list.d/quorvel-src.sources}
apt_log=${QUORVEL_APT_LOG:-/tmp/quorvel-apt.log}
# shellcheck source=tools/net-retry.sh
. "$here/net-retry.sh"

# apt-get update, tried again while it fails. Index files that still fail
# are named and left out, as apt itself does: the install below copes.
apt_update() {
  echo "setup.sh: apt-get update"
  local tries=${QUORVEL_NET_TRIES:-3}
  if ! QUORVEL_NET_TRIES=$tries net_retry -q "apt-get update" "$apt_log" \
      $SUDO apt-get update -qq; then
    local failed
    failed=$(grep -o 'Failed to fetch [^ ]*' "$apt_log" | awk '{print $4}' | sort -u | tr '\n' ' ')
    echo "setup.sh: apt-get update failed $tries times; going on without these package indexes: ${failed:-(apt named none, see $apt_log)}" >&2
  fi
}

# With an index missing for one architecture only (a mirror in mid-sync),
# a library's amd64 and i386 halves resolve to different versions and apt
# refuses the set. Pinning the release to the main suite takes both halves
# at that suite's version.
apt_install() {
  echo "setup.sh: installing $*"
  if $SUDO apt-get install -y -qq "$@" >"$apt_log" 2>&1; then return 0; fi
  if grep -qE 'held broken packages|Unable to correct problems|unmet dependencies' "$apt_log"; then
    local codename
    codename=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
    codename=${codename:-bookworm}
    echo "setup.sh: apt could not resolve the packages to one version per architecture (a partial package index?): installing again with the release pinned to $codename (-t $codename)" >&2
    net_retry "apt-get install -t $codename" "$apt_log" $SUDO apt-get install -y -qq -t "$codename" "$@" || exit 1
  else
    net_retry "apt-get install" "$apt_log" $SUDO apt-get install -y -qq "$@" || exit 1
  fi
}
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
  apt_update
  [ ${#missing[@]} -eq 0 ] || apt_install "${missing[@]}"
fi

[ "${1:-}" != --packages-only ] || exit 0
"$here/build-mingw-deps.sh" i686
"$here/build-mingw-deps.sh" x86_64
