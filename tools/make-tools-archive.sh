#!/usr/bin/env bash
# Packs the reader control tool into its own archive, beside the add-in
# bundle (which stays exactly what the platform loads):
#
#   dist/quorvel-tools-<version>.zip
#     quorvel-tags.exe      build/win32/tools/quorvel-tags/quorvel-tags.exe
#                           (32-bit: it serves the add-ins of both bitnesses)
#     quorvel-tags          build/linux-portable/tools/quorvel-tags/quorvel-tags
#                           (Linux x86_64, glibc 2.17 and later; stored with
#                           its run bit; tools/build-linux-portable.sh)
#     linux-aarch64/quorvel-tags
#                           build/linux-portable-aarch64/tools/quorvel-tags/quorvel-tags
#                           (Linux on 64-bit ARM, the same rules;
#                           tools/build-linux-portable.sh aarch64)
#     README.txt            what the tool does, how to run it, which file
#                           serves which system
#
# The version is the project's (QUORVEL_VERSION_* in CMakeLists.txt).
#   tools/make-tools-archive.sh [OUTPUT.zip]     prints the path of the archive
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

die() { echo "make-tools-archive.sh: $*" >&2; exit 1; }

version=""
for part in MAJOR MINOR RELEASE BUILD; do
  value=$(sed -n "s/^set(QUORVEL_VERSION_${part} \([0-9]\+\))/\1/p" CMakeLists.txt)
  [ -n "$value" ] || die "QUORVEL_VERSION_${part} not found in CMakeLists.txt"
  version+="${version:+.}$value"
done
output=${1:-dist/quorvel-tools-$version.zip}
built=build/win32/tools/quorvel-tags/quorvel-tags.exe
[ -f "$built" ] || die "$built was not built (cmake --build --preset win32; see README.md)"
built_linux=build/linux-portable/tools/quorvel-tags/quorvel-tags
[ -f "$built_linux" ] || die "$built_linux was not built (tools/build-linux-portable.sh)"
built_aarch64=build/linux-portable-aarch64/tools/quorvel-tags/quorvel-tags
[ -f "$built_aarch64" ] || die "$built_aarch64 was not built (tools/build-linux-portable.sh aarch64)"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$built" "$stage/quorvel-tags.exe"
cp "$built_linux" "$stage/quorvel-tags"
mkdir "$stage/linux-aarch64"
cp "$built_aarch64" "$stage/linux-aarch64/quorvel-tags"
chmod 755 "$stage/quorvel-tags" "$stage/linux-aarch64/quorvel-tags"
if command -v i686-w64-mingw32-strip >/dev/null; then
  i686-w64-mingw32-strip --strip-debug "$stage/quorvel-tags.exe"
fi
sed 's/$/\r/' >"$stage/README.txt" <<EOF2
quorvel-tags $version - control tool of the quorvel RFID reader emulator

Puts tags into the field of an emulated reader that is open in this user's
session, as a double-click on a tag's barcode in the tag window does, so that
automated tests can present tags without a mouse.

  quorvel-tags list                  the open readers and the tags in their field
  quorvel-tags present 3 5           tags 3 and 5 into the field, in this order
  quorvel-tags clear                 empties the field (the window cannot)
  quorvel-tags --reader ID present 1 one reader of several (ids: list)
  quorvel-tags --json list           answers as JSON
  quorvel-tags --help                everything, with the exit statuses

Which file serves which system:
  quorvel-tags.exe   Windows: one 32-bit program serves the 32-bit and the
                     64-bit driver
  quorvel-tags       Linux x86_64 (glibc 2.17 and later, nothing else
                     needed): serves the driver's Linux library; keep its
                     run bit (chmod +x quorvel-tags if an unpacker lost it)
  linux-aarch64/quorvel-tags
                     Linux on 64-bit ARM (aarch64; glibc 2.17 and later),
                     the same for the driver's ARM64 library

The tool reaches the tag windows of the same user's session only. See the
user guide of the driver, section "Presenting tags from tests".
EOF2
mkdir -p "$(dirname "$output")"
rm -f "$output"
output_abs=$(cd "$(dirname "$output")" && pwd)/$(basename "$output")
(cd "$stage" && zip -q -X -D "$output_abs" quorvel-tags.exe quorvel-tags linux-aarch64/quorvel-tags README.txt)
echo "$output"
