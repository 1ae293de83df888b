#!/usr/bin/env bash
# Builds the portable Linux component: quorvel_x86_64.so (or, cross-built
# for 64-bit ARM, quorvel_aarch64.so), which loads on glibc 2.17 and later
# and needs nothing beyond glibc and GTK 3; and with it the Linux control
# tool of the tools archive, tools/quorvel-tags/quorvel-tags in the same
# build folder, under the same rules (it needs glibc alone).
#
# It is built in a Debian 11 (bullseye) userland: GCC 10 and glibc 2.31,
# whose older symbol versions the library then asks for. Three cached steps,
# each reused while its inputs stay the same:
#   1. the root: debootstrap --variant=minbase bullseye plus the toolchain,
#      ${QUORVEL_CACHE:-~/.cache/quorvel}/bullseye-root-<hash>; for aarch64
#      a root of its own, bullseye-aarch64-root-<hash>, with Debian's AArch64
#      cross compiler and the arm64 GTK development packages (multiarch)
#   2. the dependencies (libxml2, zint, cmark, libzip, zlib, double-conversion)
#      as static, position-independent, size-optimised libraries, built there
#      from the Debian 12 source packages the mingw builds use, into
#      /opt/quorvel-deps-<hash> inside the root
#   3. the library and the tool, from this clone (bind-mounted into the root
#      at its own path), in build/linux-portable, with QUORVEL_PORTABLE=ON;
#      for aarch64 in build/linux-portable-aarch64, together with the
#      harness (v8host) of that architecture, which the tests run under
#      user-mode emulation with the root as the arm64 system.
# Needs root (debootstrap, chroot, mount); sudo is used when there is one.
#
#   tools/build-linux-portable.sh [x86_64|aarch64]   prints the path of the library
#   QUORVEL_PORTABLE_BUILD=DIR             build folder (default build/linux-portable,
#                                          build/linux-portable-aarch64)
#   tools/build-linux-portable.sh --root aarch64      prints the path of the root
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root_dir=$(cd "$here/.." && pwd)
cache=${QUORVEL_CACHE:-$HOME/.cache/quorvel}
suite=bullseye
log() { echo "build-linux-portable.sh: $*" >&2; }
# shellcheck source=tools/net-retry.sh
. "$here/net-retry.sh"
die() { log "$*"; exit 1; }
# The arguments stay as they are: the script runs itself again below.
print_root=""
arch=${1:-x86_64}
if [ "$arch" = --root ]; then print_root=1 arch=${2:-x86_64}; fi
case "$arch" in
  x86_64) build=${QUORVEL_PORTABLE_BUILD:-$root_dir/build/linux-portable} ;;
  aarch64) build=${QUORVEL_PORTABLE_BUILD:-$root_dir/build/linux-portable-aarch64} ;;
  *) die "usage: build-linux-portable.sh [--root] [x86_64|aarch64]" ;;
esac
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || die "needs root (debootstrap, chroot and mount)"
  exec sudo QUORVEL_CACHE="$cache" QUORVEL_PORTABLE_BUILD="$build" "$BASH" "$0" "$@"
fi

# The rest runs in a private mount namespace (this script once more): the
# mounts it makes are seen by nothing else and end with it.
if [ -z "${QUORVEL_PORTABLE_NS:-}" ]; then
  mkdir -p "$cache"
  export QUORVEL_PORTABLE_NS=1
  exec unshare --mount --propagation private "$BASH" "$0" "$@"
fi

# The mirror apt already uses (deb822 or one-line sources).
mirror() {
  local m=""
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    m=$(awk '/^URIs:/{print $2; exit}' /etc/apt/sources.list.d/debian.sources)
  fi
  if [ -z "$m" ] && [ -f /etc/apt/sources.list ]; then
    m=$(awk '$1=="deb" && $2 !~ /security/ {print $2; exit}' /etc/apt/sources.list)
  fi
  echo "${m:-http://deb.debian.org/debian}"
}

# ---- 1. the root -----------------------------------------------------------
if [ "$arch" = x86_64 ]; then
  root_name=$suite-root
  root_packages="g++ make cmake ninja-build pkg-config libgtk-3-dev file binutils"
  foreign=""
  root_key="$suite minbase $root_packages"
else
  # The host's build tools, the cross compiler (GCC 10, glibc 2.31 for
  # arm64) and GTK's arm64 headers and libraries beside them.
  root_name=$suite-$arch-root
  root_packages="make cmake ninja-build pkg-config file binutils g++-aarch64-linux-gnu libgtk-3-dev:arm64"
  foreign=arm64
  root_key="$suite minbase +$foreign $root_packages"
fi
root_hash=$(echo "$root_key" | sha1sum | cut -c1-12)
broot="$cache/$root_name-$root_hash"

mounts=()
cleanup() {
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount -l "${mounts[$i]}" 2>/dev/null || true; done
  mounts=()
}
trap cleanup EXIT
bind() { # bind SRC DEST [ro]
  mkdir -p "$2"
  mount --bind "$1" "$2"
  mounts+=("$2")
  if [ "${3:-}" = ro ]; then mount -o remount,bind,ro "$2"; fi
}
mount_system() { # the kernel file systems a chroot needs
  local r=$1
  mkdir -p "$r/proc" "$r/dev"
  mount -t proc proc "$r/proc"; mounts+=("$r/proc")
  bind /dev "$r/dev"
}
in_root() { # runs a shell command inside the root
  chroot "$broot" /usr/bin/env -i PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin HOME=/root \
    LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive /bin/bash -euo pipefail -c "$1"
}

# Locks: held exclusively while a root or a prefix is made (and older ones
# removed), shared while they are used.
exec 8>"$cache/$root_name.lock"
flock -s 8
[ -f "$broot/.complete" ] || flock 8
if [ ! -f "$broot/.complete" ]; then
  if ! command -v debootstrap >/dev/null; then
    log "installing debootstrap"
    flock /tmp/quorvel-apt.lock apt-get install -y -qq debootstrap >/dev/null
  fi
  t=$SECONDS
  log "creating the $suite root in $broot"
  rm -rf --one-file-system "$broot" "$broot.tmp"
  fresh_debootstrap() { rm -rf --one-file-system "$broot.tmp" && debootstrap --variant=minbase "$suite" "$broot.tmp" "$(mirror)"; }
  net_retry "debootstrap of the $suite root" "$cache/$root_name.log" fresh_debootstrap || die "debootstrap failed"
  log "debootstrap: $((SECONDS - t)) s"
  t2=$SECONDS
  mv "$broot.tmp" "$broot"
  mount_system "$broot"
  [ -z "$foreign" ] || in_root "dpkg --add-architecture $foreign"
  # shellcheck disable=SC2016
  net_retry "apt-get in the $suite root" "$cache/$root_name-apt.log" \
    in_root "apt-get update -qq && apt-get install -y -qq --no-install-recommends $root_packages && apt-get clean" \
    || die "the toolchain could not be installed in the $suite root"
  cleanup
  echo "$root_key" >"$broot/.complete"
  log "toolchain in the root: $((SECONDS - t2)) s (root $((SECONDS - t)) s)"
  find "$cache" -maxdepth 1 -mindepth 1 -type d -name "$root_name-*" ! -path "$broot" -exec rm -rf --one-file-system {} +
fi
flock -s 8
if [ -n "$print_root" ]; then echo "$broot"; exit 0; fi

# ---- 2. the dependencies -----------------------------------------------------
libs=(cmark zint libxml2 libzip zlib double-conversion)
src_version_of() {
  local v
  v=$(apt-cache showsrc "$1" 2>/dev/null | awk '/^Version/{print $2; exit}')
  [ -n "$v" ] || die "no source package $1 (is a deb-src entry set up? run tools/setup.sh)"
  echo "$v"
}
declare -A ver
for l in "${libs[@]}"; do ver[$l]=$(src_version_of "$l"); done
key=""
for l in "${libs[@]}"; do key+="$l=${ver[$l]} "; done

# Runs inside the root: SRC_<library> is the library's unpacked source
# (read-only), PREFIX receives the libraries and headers. The size switches
# are the mingw builds' (tools/deps-options.sh), prepended to the recipe.
# shellcheck disable=SC2016
deps_recipe="$(grep -v '^[[:space:]]*#' "$here/deps-options.sh")"'
work=$(mktemp -d)
export CFLAGS="-Os $QV_DEPS_C_FLAGS" CXXFLAGS="-Os $QV_DEPS_C_FLAGS"
cm() { # name source-folder cmake-options...: configure, build, install
  local name=$1 dir=$2; shift 2
  cp -a "$dir" "$work/$name-src"
  cmake -S "$work/$name-src" -B "$work/$name" -G Ninja -DCMAKE_BUILD_TYPE="$QV_DEPS_BUILD_TYPE" \
    -DCMAKE_POSITION_INDEPENDENT_CODE=ON -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_PREFIX_PATH="$PREFIX" \
    -DCMAKE_INSTALL_LIBDIR=lib "$@" >"$work/$name.log" 2>&1 || { tail -n 40 "$work/$name.log"; exit 1; }
}
build() { # name [cmake --build options]
  local name=$1; shift
  cmake --build "$work/$name" -j2 "$@" >>"$work/$name.log" 2>&1 || { tail -n 60 "$work/$name.log"; exit 1; }
}
inst() { cmake --install "$work/$1" >>"$work/$1.log" 2>&1 || { tail -n 60 "$work/$1.log"; exit 1; }; }

# zlib: its own configure (the CMake project wants Windows files that the
# Debian source leaves out).
cp -a "$SRC_zlib" "$work/zlib"
(cd "$work/zlib" && CFLAGS="$CFLAGS -fPIC" ./configure --static --prefix="$PREFIX" && make -j2 libz.a) \
  >"$work/zlib.log" 2>&1 || { tail -n 40 "$work/zlib.log"; exit 1; }
cp "$work/zlib/libz.a" "$PREFIX/lib/"
cp "$work/zlib/zlib.h" "$work/zlib/zconf.h" "$PREFIX/include/"

cm double-conversion "$SRC_double_conversion" "${QV_DOUBLE_CONVERSION_OPTIONS[@]}"
build double-conversion && inst double-conversion

cm cmark "$SRC_cmark" "${QV_CMARK_OPTIONS[@]}"
build cmark && inst cmark

cm zint "$SRC_zint" "${QV_ZINT_OPTIONS[@]}" -DZINT_FRONTEND=OFF
qv_zint_datamatrix_only "$work/zint-src"
build zint --target zint-static
cp "$(find "$work/zint" -name libzint-static.a | head -n1)" "$PREFIX/lib/"
cp "$work/zint-src/backend/zint.h" "$PREFIX/include/"

cm libxml2 "$SRC_libxml2" "${QV_LIBXML2_OPTIONS[@]}"
build libxml2 && inst libxml2

cm libzip "$SRC_libzip" "${QV_LIBZIP_OPTIONS[@]}" \
  -DZLIB_LIBRARY="$PREFIX/lib/libz.a" -DZLIB_INCLUDE_DIR="$PREFIX/include"
build libzip && inst libzip
rm -rf "$work"
'
# Cross-built: the same recipe with the cross tools (CMake and zlib's
# configure take them from the environment; CMake finds the matching
# archiver by the compiler's prefix).
cross_env=""
[ "$arch" = x86_64 ] || cross_env="export CC=$arch-linux-gnu-gcc CXX=$arch-linux-gnu-g++ AR=$arch-linux-gnu-ar RANLIB=$arch-linux-gnu-ranlib;"
deps_hash=$( (echo "$root_hash $key"; [ -z "$cross_env" ] || echo "$cross_env"; echo "$deps_recipe") | sha1sum | cut -c1-12)
prefix=/opt/quorvel-deps-$deps_hash

src="$cache/src"
source_into() { # DIR PKG=VERSION: a fresh download of the source package
  (cd "$1" && find . -mindepth 1 -delete && apt-get source -qq "$2")
}
fetch() { # unpacks the Debian source package $1 once per version, prints its folder
  local pkg=$1 dir where="$src/${1}_${ver[$1]}"
  dir=$(find "$where" -maxdepth 1 -mindepth 1 -type d -name "$pkg-*" 2>/dev/null | head -n1)
  if [ -z "$dir" ]; then
    rm -rf "$where" && mkdir -p "$where"
    net_retry "apt-get source $pkg" "$where.log" source_into "$where" "$pkg=${ver[$pkg]}" \
      || die "apt-get source $pkg failed"
    dir=$(find "$where" -maxdepth 1 -mindepth 1 -type d -name "$pkg-*" | head -n1)
  fi
  echo "$dir"
}

exec 9>"$cache/$root_name-deps.lock"
flock -s 9
[ -f "$broot$prefix/.complete" ] || flock 9
if [ ! -f "$broot$prefix/.complete" ]; then
  t=$SECONDS
  log "building the dependencies into $broot$prefix ($key)"
  mkdir -p "$src"
  env_args=()
  for l in "${libs[@]}"; do
    d=$(fetch "$l")
    env_args+=("SRC_${l//-/_}=/src/${d#"$src"/}")
  done
  mount_system "$broot"
  bind "$src" "$broot/src" ro
  rm -rf "$broot$prefix" && mkdir -p "$broot$prefix/lib" "$broot$prefix/include"
  in_root "export PREFIX=$prefix ${env_args[*]}; $cross_env $deps_recipe" >&2 || die "the dependencies did not build"
  cleanup
  echo "$key" >"$broot$prefix/.complete"
  find "$broot/opt" -maxdepth 1 -mindepth 1 -type d -name "quorvel-deps-*" ! -path "$broot$prefix" -exec rm -rf {} +
  log "dependencies: $((SECONDS - t)) s"
fi
flock -s 9

# ---- 3. the library ----------------------------------------------------------
t=$SECONDS
mount_system "$broot"
bind "$root_dir" "$broot$root_dir"
mkdir -p "$build"
# Configured again when the dependencies' prefix is another one.
targets="quorvel quorvel-tags"
cross_cmake=""
if [ "$arch" != x86_64 ]; then
  cross_cmake="-DCMAKE_TOOLCHAIN_FILE='$root_dir/cmake/toolchain-$arch-linux-gnu.cmake' -DQUORVEL_HARNESS=ON"
  targets+=" v8host"
fi
if [ ! -f "$build/build.ninja" ] || ! grep -qx "QUORVEL_DEPS:[A-Z]*=$prefix" "$build/CMakeCache.txt"; then
  in_root "cmake -S '$root_dir' -B '$build' -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel -DQUORVEL_PORTABLE=ON \
    -DQUORVEL_DEPS=$prefix -DQUORVEL_TESTS=OFF -DQUORVEL_BENCHMARKS=OFF $cross_cmake >'$build/configure.log' 2>&1" \
    || { tail -n 40 "$build/configure.log" >&2; die "configure failed"; }
fi
in_root "cmake --build '$build' -j2 --target $targets >&2" || die "the library did not build"
cleanup
log "library: $((SECONDS - t)) s"
echo "$build/quorvel_$arch.so"
