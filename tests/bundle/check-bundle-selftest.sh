#!/usr/bin/env bash
# Makes sure the bundle check rejects what the platform would reject: bundles
# built from a good one with one fault each must fail check-bundle.sh (the
# archive and manifest part; libraries are not loaded), and the good one must
# pass it.
#
#   tests/bundle/check-bundle-selftest.sh dist/quorvel-<version>.zip
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ $# -eq 1 ] || { echo "usage: check-bundle-selftest.sh BUNDLE.zip" >&2; exit 2; }
good=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$good" -d "$work/good"
export QUORVEL_BUNDLE_NO_LOAD=1 QUORVEL_BUNDLE_CHECK_DIR_SUFFIX=-selftest

failures=0
# NAME, then a command run inside a copy of the unpacked bundle.
expect_rejected() {
  local name=$1 dir="$work/$1"
  shift
  cp -r "$work/good" "$dir"
  (cd "$dir" && eval "$*")
  (cd "$dir" && zip -q -X -r "$work/$name.zip" .)
  if "$here/check-bundle.sh" "$work/$name.zip" >"$work/$name.txt" 2>&1; then
    echo "FAIL: a bundle with $name passed the check"
    failures=$((failures + 1))
  else
    echo "ok: rejected: $name ($(grep -m1 '^FAIL' "$work/$name.txt" | cut -c7-))"
  fi
}

expect_rejected "another namespace" \
  "sed -i 's|http://v8.1c.ru/8.2/addin/bundle|http://example.com/bundle|' MANIFEST.XML"
expect_rejected "a listed file missing" "rm quorvel_x86_64.dll"
expect_rejected "the architectures swapped" \
  "sed -i 's|arch=\"i386\"|arch=\"tmp\"|; s|arch=\"x86_64\"|arch=\"i386\"|; s|arch=\"tmp\"|arch=\"x86_64\"|' MANIFEST.XML"
expect_rejected "a COM component" "sed -i '0,/type=\"native\"/s//type=\"com\"/' MANIFEST.XML"
expect_rejected "no manifest" "rm MANIFEST.XML"
# Bytes appended to a PE file do not change what it is: only its size.
expect_rejected "a library past its size limit" \
  "truncate -s \$(awk '\$1 == \"quorvel_i386.dll\" { print \$2 + 1 }' '$here/size-limits.txt') quorvel_i386.dll"
# Cut to within the Linux library's size limit: only what it is gives it away.
expect_rejected "a DLL as the Linux library" "cp quorvel_x86_64.dll quorvel_x86_64.so && truncate -s 1000000 quorvel_x86_64.so"
expect_rejected "the Linux library listed as a second Windows one" "sed -i '0,/os=\"Linux\"/s//os=\"Windows\"/' MANIFEST.XML"
# A library of the other Linux architecture, within its size limit.
expect_rejected "the x86_64 Linux library as the ARM64 one" "cp quorvel_x86_64.so quorvel_aarch64.so"
expect_rejected "no ARM64 component" "sed -i '/arch=\"ARM64\"/d' MANIFEST.XML && rm quorvel_aarch64.so"

if "$here/check-bundle.sh" "$good" >"$work/good.txt" 2>&1; then
  echo "ok: the bundle itself passes"
else
  cat "$work/good.txt"
  echo "FAIL: the bundle itself does not pass"
  failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] || exit 1
