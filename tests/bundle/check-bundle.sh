#!/usr/bin/env bash
# Checks an add-in bundle as the platform would meet it: unpacks the archive,
# validates MANIFEST.XML (namespace, the attributes of every component, one
# component per system and architecture, every path present and of its
# system and architecture), checks the footprint against
# tests/bundle/size-limits.txt and what each Linux library asks of its
# system (tests/infra/check-portable-linux.sh), then loads each listed
# library with the v8host of the same system and architecture (the DLLs
# under Wine, the x86_64 Linux library natively, the ARM64 one under QEMU's
# user-mode emulation, tools/aarch64-run.sh): the class list, a call of
# GetInterfaceRevision and, for the Linux libraries, a short session.
#
#   tests/bundle/check-bundle.sh dist/quorvel-<version>.zip
#   QUORVEL_BUNDLE_NO_LOAD=1    check the archive and the manifest only
# On a kernel that refuses 32-bit programs (tools/wine-route.sh) the 32-bit
# DLL is checked as a file only, and the output says so.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
here="$root/tests/bundle"
ns=http://v8.1c.ru/8.2/addin/bundle

[ $# -eq 1 ] || { echo "usage: check-bundle.sh BUNDLE.zip" >&2; exit 2; }
bundle=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
# shellcheck source=tools/wine-route.sh
. "$root/tools/wine-route.sh"

# Unpacked inside the build tree: under Wine, paths relative to the current
# folder need no drive mapping.
cd "$root"
work=build/bundle-check${QUORVEL_BUNDLE_CHECK_DIR_SUFFIX:-}
rm -rf "$work"
mkdir -p "$work"
unzip -q "$bundle" -d "$work" || { fail "cannot unpack $bundle"; exit 1; }
manifest="$work/MANIFEST.XML"
[ -f "$manifest" ] || { fail "no MANIFEST.XML at the top of the archive"; exit 1; }

if xmllint --noout --schema "$here/bundle.xsd" "$manifest" 2>"$work/xmllint.log"; then
  pass "MANIFEST.XML is a bundle manifest"
else
  cat "$work/xmllint.log"
  fail "MANIFEST.XML does not validate"
fi
xpath() { xmllint --xpath "$1" "$manifest" 2>/dev/null || true; }
[ "$(xpath 'namespace-uri(/*)')" = "$ns" ] && [ "$(xpath 'local-name(/*)')" = bundle ] \
  && pass "root is bundle in $ns" || fail "the root element is not {$ns}bundle"

count=$(xpath "count(/*/*[local-name()='component'])")
[ "$count" = 4 ] && pass "four components" || fail "expected 4 components, found ${count:-none}"
for c in Windows/i386 Windows/x86_64 Linux/x86_64 Linux/ARM64; do
  [ "$(xpath "count(/*/*[local-name()='component'][@os='${c%/*}'][@arch='${c#*/}'])")" = 1 ] \
    || fail "no single component for $c"
done

# Footprint: every listed file, the Windows libraries as stored, and the
# archive itself within the limits of size-limits.txt.
limits="$here/size-limits.txt"
limit_of() { awk -v n="$1" '!/^#/ && $1 == n { print $2 }' "$limits"; }
within_limit() { # NAME SIZE
  local limit
  limit=$(limit_of "$1")
  if [ -z "$limit" ]; then
    fail "$1 has no size limit in tests/bundle/size-limits.txt"
  elif [ "$2" -le "$limit" ]; then
    pass "$1: $2 bytes (limit $limit)"
  else
    fail "$1: $2 bytes, past its limit of $limit"
  fi
}
compressed_windows=0
for ((i = 1; i <= ${count:-0}; i++)); do
  path=$(xpath "string(/*/*[local-name()='component'][$i]/@path)")
  [ -n "$path" ] && [ -f "$work/$path" ] || continue
  within_limit "$path" "$(stat -c %s "$work/$path")"
  if [ "$(xpath "string(/*/*[local-name()='component'][$i]/@os)")" = Windows ]; then
    stored=$(unzip -Zl "$bundle" "$path" | awk -v n="$path" '$NF == n { print $6 }')
    compressed_windows=$((compressed_windows + ${stored:-0}))
  fi
done
within_limit compressed:windows "$compressed_windows"
within_limit bundle "$(stat -c %s "$bundle")"

# The machine type in the PE header.
pe_machine() {
  local off
  off=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
  od -An -t x2 -j $((off + 4)) -N 2 "$1" | tr -d ' '
}
# An ELF shared object's class, data encoding and machine: 2-1-003e is
# 64-bit, little-endian, x86_64; 2-1-00b7 the same for AArch64.
elf_machine() {
  [ "$(od -An -c -j 1 -N 3 "$1" | tr -d ' ')" = ELF ] || { echo "not ELF"; return; }
  echo "$(od -An -t u1 -j 4 -N 1 "$1" | tr -d ' ')-$(od -An -t u1 -j 5 -N 1 "$1" | tr -d ' ')-$(od -An -t x2 -j 18 -N 2 "$1" | tr -d ' ')"
}

for ((i = 1; i <= ${count:-0}; i++)); do
  c="/*/*[local-name()='component'][$i]"
  os=$(xpath "string($c/@os)")
  arch=$(xpath "string($c/@arch)")
  path=$(xpath "string($c/@path)")
  lib="$work/$path"
  if [ -z "$path" ] || [ ! -f "$lib" ]; then
    fail "component $i ($arch): path '$path' is not in the archive"
    continue
  fi
  # run: how the harness is started (under Wine, natively or emulated), via:
  # what the output says of it, build: how the harness is built.
  wine="$root/tools/wine-run.sh" qemu="$root/tools/aarch64-run.sh"
  case "$os/$arch" in
    Windows/i386) want=014c host=build/win32/tools/v8host/v8host.exe run=$wine via="under Wine " build="cmake --build --preset win32" ;;
    Windows/x86_64) want=8664 host=build/win64/tools/v8host/v8host.exe run=$wine via="under Wine " build="cmake --build --preset win64" ;;
    Linux/x86_64) want=2-1-003e host=build/linux/tools/v8host/v8host run="" via="natively " build="cmake --build --preset linux" ;;
    Linux/ARM64) want=2-1-00b7 host=build/linux-portable-aarch64/tools/v8host/v8host run=$qemu via="under QEMU " build="tools/build-linux-portable.sh aarch64" ;;
    *) fail "component $i: unknown system and architecture '$os/$arch'"; continue ;;
  esac
  if [ "$os" = Linux ]; then machine=$(elf_machine "$lib"); else machine=$(pe_machine "$lib"); fi
  [ "$machine" = "$want" ] && pass "$path is a $os $arch library" || fail "$path: machine $machine, not $os $arch"
  if [ "$os" = Linux ]; then
    elf_arch=$arch
    [ "$arch" != ARM64 ] || elf_arch=aarch64
    if "$root/tests/infra/check-portable-linux.sh" "$lib" "$elf_arch" >"$work/$path.portable.txt" 2>&1; then
      pass "$path: exports, NEEDED and glibc floor ($(grep '^highest glibc' "$work/$path.portable.txt"))"
    else
      cat "$work/$path.portable.txt"
      fail "$path asks more of the system than glibc 2.17 and GTK 3"
    fi
  fi

  [ -z "${QUORVEL_BUNDLE_NO_LOAD:-}" ] || continue
  if [ "$arch" = i386 ] && ! quorvel_kernel_runs_32bit; then
    echo "NOT RUN: $path is not loaded: $(quorvel_no_32bit_reason)"
    continue
  fi
  if [ ! -f "$host" ]; then
    fail "$host is missing: $build"
    continue
  fi
  out="$work/$path.list.txt"
  if $run "$host" --list "$lib" >"$out" 2>&1 \
     && grep -q '^Class quorvel (extension "quorvel")' "$out" \
     && grep -q 'GetDataTagsRFID / ПолучитьДанныеМетокRFID  params 3  function' "$out" \
     && grep -q 'Transparency / Прозрачность  read/write' "$out"; then
    pass "$path loads $via($host --list)"
  else
    cat "$out"
    fail "$path does not load with $host"
  fi
  out="$work/$path.call.txt"
  if $run "$host" "$lib" quorvel 'GetInterfaceRevision()' >"$out" 2>&1 \
     && grep -q '^< 3002 \[I4\]' "$out"; then
    pass "$path answers GetInterfaceRevision with 3002"
  else
    cat "$out"
    fail "$path: GetInterfaceRevision did not answer 3002"
  fi
  [ "$os" = Linux ] || continue
  # A short session: the description (settings and log folder), a reading
  # session with its event and an XML answer, a property written and read.
  out="$work/$path.session.txt"
  if XDG_DATA_HOME="$root/$work/data" $run "$host" "$lib" quorvel 'GetDescription()' 'OpenSessionRFID()' \
       'GetDataTagsRFID()' 'Transparency=150' 'Transparency' 'CloseSessionRFID()' >"$out" 2>&1 \
     && grep -q 'EquipmentType=\\"СчитывательRFID\\"' "$out" \
     && grep -q '^\* ExternalEvent source="" message="RFID"' "$out" \
     && grep -q '<Table/>' "$out" && grep -q '^< 150 \[I4\]' "$out"; then
    pass "$path runs a short session ${via% }"
  else
    cat "$out"
    fail "$path: the short session failed"
  fi
done

if [ "$failures" -gt 0 ]; then
  echo "bundle check: $failures failure(s)"
  exit 1
fi
rm -rf "$work"
echo "bundle check: $(basename "$bundle") passed"
