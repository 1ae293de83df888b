#!/usr/bin/env bash
# Builds static mingw-w64 copies of zlib, cmark, zint, libxml2 and libzip from
# Debian's source packages and installs them into a per-target prefix:
#   ${QUORVEL_CACHE:-~/.cache/quorvel}/deps-<target>-<hash>
# where the hash covers the library versions and this recipe, and points
#   ${QUORVEL_CACHE:-~/.cache/quorvel}/deps-<target>
# at it (the folder the Windows builds use). A complete prefix is reused.
# Resulting files: lib/libz.a lib/libcmark.a lib/libzint-static.a
# lib/libxml2.a lib/libzip.a, headers in include/ and include/libxml2/.
set -euo pipefail
arch=${1:?usage: build-mingw-deps.sh i686|x86_64}
triple="$arch-w64-mingw32"
here=$(cd "$(dirname "$0")" && pwd)
cache=${QUORVEL_CACHE:-$HOME/.cache/quorvel}
libs=(cmark zint libxml2 libzip)

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
# The recipe (this script less its comments) is part of the key: changed
# flags give a new prefix.
hash=$( (echo "$key"; grep -v '^[[:space:]]*#' "$0") | sha1sum | cut -c1-12)
prefix="$cache/deps-$arch-$hash"
link="$cache/deps-$arch"
mkdir -p "$cache"

# One build per target at a time (several people may run setup at once).
exec 9>"$cache/deps-$arch.lock"
flock 9
if [ -f "$prefix/.complete" ]; then
  ln -sfn "$prefix" "$link"
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

fetch() { # unpacks the Debian source package $1 once per version, prints its folder
  local pkg=$1 dir
  local where="$src/${pkg}_${ver[$pkg]}"
  dir=$(find "$where" -maxdepth 1 -mindepth 1 -type d -name "$pkg-*" 2>/dev/null | head -n1)
  if [ -z "$dir" ]; then
    rm -rf "$where" && mkdir -p "$where"
    (cd "$where" && apt-get source -qq "$pkg=${ver[$pkg]}" >"$work/$pkg-source.log" 2>&1) \
      || { cat "$work/$pkg-source.log" >&2; exit 1; }
    dir=$(find "$where" -maxdepth 1 -mindepth 1 -type d -name "$pkg-*" | head -n1)
  fi
  echo "$dir"
}

cm() { # configure, build and install one CMake project
  local name=$1 dir=$2; shift 2
  cmake -S "$dir" -B "$work/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_PREFIX_PATH="$prefix" "$@" >"$work/$name.log" 2>&1 || { cat "$work/$name.log" >&2; exit 1; }
}

build() { # builds one configured project (optionally one target); shows the log on failure
  local name=$1; shift
  cmake --build "$work/$name" -j2 "$@" >>"$work/$name.log" 2>&1 || { tail -n 60 "$work/$name.log" >&2; exit 1; }
}

inst() {
  cmake --install "$work/$1" >>"$work/$1.log" 2>&1 || { tail -n 60 "$work/$1.log" >&2; exit 1; }
}

d=$(fetch cmark)
cm cmark "$d" -DCMARK_TESTS=OFF -DCMARK_SHARED=OFF -DCMARK_STATIC=ON
build cmark && inst cmark

d=$(fetch zint)
cm zint "$d" -DZINT_STATIC=ON -DZINT_SHARED=OFF -DZINT_USE_PNG=OFF -DZINT_USE_QT=OFF -DZINT_FRONTEND=OFF
build zint --target zint-static
cp "$(find "$work/zint" -name 'libzint-static.a' | head -n1)" "$prefix/lib/libzint-static.a"
cp "$d/backend/zint.h" "$prefix/include/"

d=$(fetch libxml2)
cm libxml2 "$d" -DBUILD_SHARED_LIBS=OFF -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_ICONV=OFF \
  -DLIBXML2_WITH_ICU=OFF -DLIBXML2_WITH_LZMA=OFF -DLIBXML2_WITH_ZLIB=OFF -DLIBXML2_WITH_HTTP=OFF \
  -DLIBXML2_WITH_FTP=OFF -DLIBXML2_WITH_PROGRAMS=OFF -DLIBXML2_WITH_TESTS=OFF -DLIBXML2_WITH_THREADS=ON \
  -DCMAKE_C_FLAGS=-DLIBXML_STATIC -DHAVE_PTHREAD_H=
build libxml2 && inst libxml2

d=$(fetch libzip)
cm libzip "$d" -DBUILD_SHARED_LIBS=OFF -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF \
  -DENABLE_OPENSSL=OFF -DENABLE_WINDOWS_CRYPTO=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF \
  -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF \
  -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include"
build libzip && inst libzip

echo "$key" >"$prefix/.complete"
ln -sfn "$prefix" "$link"
# Prefixes of older versions or recipes are no longer reachable through the link.
find "$cache" -maxdepth 1 -mindepth 1 -type d -name "deps-$arch-*" ! -path "$prefix" -exec rm -rf {} +
echo "mingw deps for $arch: done in $((SECONDS - start)) s"
