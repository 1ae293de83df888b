#!/usr/bin/env bash
# Builds static mingw-w64 copies of zlib, cmark, zint, libxml2, libzip and
# double-conversion from Debian's source packages and installs them into a
# per-target prefix:
#   ${QUORVEL_CACHE:-~/.cache/quorvel}/deps-<target>-<hash>
# where the hash covers the library versions, this recipe and the switches in
# tools/deps-options.sh. A complete prefix is reused; other prefixes are left
# alone (another checkout may still build against them).
# Resulting files: lib/libz.a lib/libcmark.a lib/libzint-static.a
# lib/libxml2.a lib/libzip.a lib/libdouble-conversion.a, headers in include/,
# include/libxml2/ and include/double-conversion/.
#
#   tools/build-mingw-deps.sh i686|x86_64            build (or reuse), print nothing else
#   tools/build-mingw-deps.sh --prefix i686|x86_64   only print the prefix this recipe uses
#                                                    (cmake/Dependencies.cmake asks this)
set -euo pipefail
print_prefix=
if [ "${1:-}" = --prefix ]; then print_prefix=1; shift; fi
arch=${1:?usage: build-mingw-deps.sh [--prefix] i686|x86_64}
triple="$arch-w64-mingw32"
here=$(cd "$(dirname "$0")" && pwd)
cache=${QUORVEL_CACHE:-$HOME/.cache/quorvel}
libs=(cmark zint libxml2 libzip double-conversion)
# shellcheck source=deps-options.sh
. "$here/deps-options.sh"
# shellcheck source=net-retry.sh
. "$here/net-retry.sh"

version_of() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null || apt-cache policy "$1" | awk '/Candidate/{print $2}'; }
src_version_of() {
  local v
  v=$(apt-cache showsrc "$1" 2>/dev/null | awk '/^Version/{print $2; exit}')
  [ -n "$v" ] || { echo "build-mingw-deps.sh: no source package $1 (is a deb-src entry set up? run tools/setup.sh)" >&2; exit 1; }
  echo "$v"
}
declare -A ver
for l in "${libs[@]}"; do ver[$l]=$(src_version_of "$l"); done
ver[zlib]=$(version_of libz-mingw-w64-dev)
key="cmark=${ver[cmark]} zint=${ver[zint]} libxml2=${ver[libxml2]} libzip=${ver[libzip]} zlib=${ver[zlib]}"
key+=" double-conversion=${ver[double-conversion]}"
# The recipe (this script and the options, less their comments) is part of
# the key: changed flags give a new prefix.
hash=$( (echo "$key"; grep -hv '^[[:space:]]*#' "$0" "$here/deps-options.sh") | sha1sum | cut -c1-12)
prefix="$cache/deps-$arch-$hash"
if [ -n "$print_prefix" ]; then echo "$prefix"; exit 0; fi
mkdir -p "$cache"

# One build per target at a time (several people may run setup at once).
exec 9>"$cache/deps-$arch.lock"
flock 9
if [ -f "$prefix/.complete" ]; then
  echo "mingw deps for $arch: cached in $prefix"
  exit 0
fi
start=$SECONDS
echo "mingw deps for $arch: building into $prefix ($key)"
rm -rf "$prefix"
mkdir -p "$prefix/lib" "$prefix/include"
src="$cache/src"
mkdir -p "$src"
toolchain="$here/../cmake/toolchain-$arch-w64-mingw32.cmake"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# zlib: the Debian package ships a static library for each target.
zroot=/usr/$triple
cp "$zroot/lib/libz.a" "$prefix/lib/"
cp "$zroot/include/zlib.h" "$zroot/include/zconf.h" "$prefix/include/"

source_into() { # DIR PKG=VERSION: a fresh download of the source package
  (cd "$1" && find . -mindepth 1 -delete && apt-get source -qq "$2")
}
fetch() { # unpacks the Debian source package $1 once per version, prints its folder
  local pkg=$1 dir
  local where="$src/${pkg}_${ver[$pkg]}"
  dir=$(find "$where" -maxdepth 1 -mindepth 1 -type d -name "$pkg-*" 2>/dev/null | head -n1)
  if [ -z "$dir" ]; then
    rm -rf "$where" && mkdir -p "$where"
    net_retry "apt-get source $pkg" "$work/$pkg-source.log" source_into "$where" "$pkg=${ver[$pkg]}" \
      || exit 1
    dir=$(find "$where" -maxdepth 1 -mindepth 1 -type d -name "$pkg-*" | head -n1)
  fi
  echo "$dir"
}

# i686 unwinds C++ exceptions with DWARF tables, whose entries keep every
# function alive through --gc-sections. The C libraries never call back into
# C++ code, so no exception crosses their frames and they need no tables
# (i686 Windows' own exception handling does not use them). x86_64 keeps its
# .pdata: Windows itself unwinds with it.
c_flags="$QV_DEPS_C_FLAGS"
[ "$arch" != i686 ] || c_flags+=" -fno-asynchronous-unwind-tables"

cm() { # configure, build and install one CMake project
  local name=$1 dir=$2; shift 2
  cmake -S "$dir" -B "$work/$name" -G Ninja -DCMAKE_BUILD_TYPE="$QV_DEPS_BUILD_TYPE" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_C_FLAGS="$c_flags" "$@" \
    >"$work/$name.log" 2>&1 || { cat "$work/$name.log" >&2; exit 1; }
}

build() { # builds one configured project (optionally one target); shows the log on failure
  local name=$1; shift
  cmake --build "$work/$name" -j2 "$@" >>"$work/$name.log" 2>&1 || { tail -n 60 "$work/$name.log" >&2; exit 1; }
}

inst() {
  cmake --install "$work/$1" >>"$work/$1.log" 2>&1 || { tail -n 60 "$work/$1.log" >&2; exit 1; }
}

d=$(fetch cmark)
cm cmark "$d" "${QV_CMARK_OPTIONS[@]}"
build cmark && inst cmark

d=$(fetch zint)
cp -a "$d" "$work/zint-src"
qv_zint_datamatrix_only "$work/zint-src"
cm zint "$work/zint-src" "${QV_ZINT_OPTIONS[@]}"
build zint --target zint-static
cp "$(find "$work/zint" -name 'libzint-static.a' | head -n1)" "$prefix/lib/libzint-static.a"
cp "$d/backend/zint.h" "$prefix/include/"

d=$(fetch libxml2)
# LIBXML_STATIC: no dllexport in the static library (the add-in would
# re-export it); no pthread.h: native Win32 threads.
cm libxml2 "$d" "${QV_LIBXML2_OPTIONS[@]}" -DCMAKE_C_FLAGS="$c_flags -DLIBXML_STATIC" -DHAVE_PTHREAD_H=
build libxml2 && inst libxml2

d=$(fetch libzip)
cm libzip "$d" "${QV_LIBZIP_OPTIONS[@]}" \
  -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include"
build libzip && inst libzip

# C++: keeps its unwind tables (exceptions of its callers pass through it).
d=$(fetch double-conversion)
cm double-conversion "$d" "${QV_DOUBLE_CONVERSION_OPTIONS[@]}" -DCMAKE_CXX_FLAGS="$QV_DEPS_C_FLAGS"
build double-conversion && inst double-conversion
[ -f "$prefix/lib/libdouble-conversion.a" ] && [ -f "$prefix/include/double-conversion/double-to-string.h" ] \
  || { echo "build-mingw-deps.sh: double-conversion did not install lib/libdouble-conversion.a" >&2; exit 1; }

echo "$key" >"$prefix/.complete"
echo "mingw deps for $arch: done in $((SECONDS - start)) s"
