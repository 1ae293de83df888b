#!/usr/bin/env bash
# Packs the Windows and Linux builds into the add-in bundle the 1C:Enterprise platform
# accepts from a common template or a file (ПодключитьВнешнююКомпоненту,
# УстановитьВнешнююКомпоненту):
#
#   dist/quorvel-<version>.zip
#     MANIFEST.XML          <bundle xmlns="http://v8.1c.ru/8.2/addin/bundle">
#     quorvel_i386.dll      build/win32/quorvel.dll
#     quorvel_x86_64.dll    build/win64/quorvel.dll
#     quorvel_x86_64.so     build/linux-portable/quorvel_x86_64.so
#                           (tools/build-linux-portable.sh)
#     quorvel_aarch64.so    build/linux-portable-aarch64/quorvel_aarch64.so
#                           (tools/build-linux-portable.sh aarch64)
#
# The version is the project's (QUORVEL_VERSION_* in CMakeLists.txt).
#   tools/make-bundle.sh [OUTPUT.zip]     prints the path of the bundle
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

die() { echo "make-bundle.sh: $*" >&2; exit 1; }

project_version() {
  local part value version=""
  for part in MAJOR MINOR RELEASE BUILD; do
    value=$(sed -n "s/^set(QUORVEL_VERSION_${part} \([0-9]\+\))/\1/p" CMakeLists.txt)
    [ -n "$value" ] || die "QUORVEL_VERSION_${part} not found in CMakeLists.txt"
    version+="${version:+.}$value"
  done
  echo "$version"
}

version=$(project_version)
output=${1:-dist/quorvel-$version.zip}

# arch attribute, file name in the bundle, built library, mingw prefix
components=(
  "i386 quorvel_i386.dll build/win32/quorvel.dll i686-w64-mingw32"
  "x86_64 quorvel_x86_64.dll build/win64/quorvel.dll x86_64-w64-mingw32"
)

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

{
  echo '<?xml version="1.0" encoding="UTF-8"?>'
  echo '<bundle xmlns="http://v8.1c.ru/8.2/addin/bundle">'
  for c in "${components[@]}"; do
    read -r arch name built tools <<<"$c"
    [ -f "$built" ] || die "$built was not built (cmake --build --preset $(basename "$(dirname "$built")"); see README.md)"
    cp "$built" "$stage/$name"
    # The builds carry debug information and symbol tables (RelWithDebInfo;
    # build/ keeps them for debugging); the bundle carries neither. The
    # exports live in their own table and stay.
    command -v "$tools-strip" >/dev/null || die "$tools-strip not found (binutils-mingw-w64)"
    "$tools-strip" --strip-all "$stage/$name"
    echo "  <component os=\"Windows\" path=\"$name\" type=\"native\" arch=\"$arch\"/>"
  done
  # The portable Linux components, built stripped: the manifest's arch,
  # the file name and the build folder's suffix.
  for c in "x86_64 quorvel_x86_64.so" "ARM64 quorvel_aarch64.so -aarch64"; do
    read -r arch name suffix <<<"$c"
    linux=build/linux-portable$suffix/$name
    [ -f "$linux" ] || die "$linux was not built (tools/build-linux-portable.sh ${suffix#-}; see README.md)"
    cp "$linux" "$stage/$name"
    echo "  <component os=\"Linux\" path=\"$name\" type=\"native\" arch=\"$arch\"/>"
  done
  echo '</bundle>'
} >"$stage/MANIFEST.XML"

mkdir -p "$(dirname "$output")"
rm -f "$output"
output_abs=$(cd "$(dirname "$output")" && pwd)/$(basename "$output")
# -9: smallest; -X: no extra file attributes; -D: no folder entries. The
# manifest comes first.
(cd "$stage" && zip -q -9 -X -D "$output_abs" MANIFEST.XML quorvel_i386.dll quorvel_x86_64.dll quorvel_x86_64.so \
  quorvel_aarch64.so)
echo "$output"
