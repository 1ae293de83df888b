#!/usr/bin/env bash
# Checks what the portable Linux component asks of the system it loads on:
#   - it is a 64-bit little-endian ELF object of its architecture;
#   - it exports exactly GetClassNames, GetClassObject and DestroyObject;
#   - the shared libraries it needs (NEEDED) are glibc's own and the GTK 3
#     stack's (GTK, GDK, GLib, cairo, pango, ATK, gdk-pixbuf);
#   - no dynamic symbol needs a glibc version above 2.17 (the floor of the
#     manylinux2014 convention, and the first glibc for AArch64), and none a
#     version of the C++ runtime or of libgcc (GLIBCXX_, CXXABI_, GCC_),
#     which are linked in.
#
# With --tool, the same of the Linux control tool (quorvel-tags), a program:
# it needs glibc alone, and it must keep its run bit.
#
#   check-portable-linux.sh quorvel_x86_64.so [x86_64]
#   check-portable-linux.sh quorvel_aarch64.so aarch64
#   check-portable-linux.sh --tool quorvel-tags [x86_64|aarch64]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tool=
if [ "${1:-}" = --tool ]; then
  tool=1
  shift
fi
lib=${1:?usage: check-portable-linux.sh [--tool] LIBRARY.so|PROGRAM [x86_64|aarch64]}
arch=${2:-x86_64}
max_glibc=2.17
failed=0
fail() { echo "FAIL: $*"; failed=1; }
[ -f "$lib" ] || { echo "FAIL: $lib not found"; exit 1; }
# The ELF header's machine (readelf -h) and the system's dynamic loader.
case "$arch" in
  x86_64) machine="Advanced Micro Devices X86-64" interpreter=/lib64/ld-linux-x86-64.so.2 ;;
  aarch64) machine="AArch64" interpreter=/lib/ld-linux-aarch64.so.1 ;;
  *) echo "FAIL: unknown architecture $arch (x86_64, aarch64)"; exit 2 ;;
esac
header=$(readelf -h "$lib")
grep -qE '^ *Class: +ELF64$' <<<"$header" && grep -qE '^ *Data: +.*little endian' <<<"$header" \
  && grep -qE "^ *Machine: +$machine\$" <<<"$header" \
  || fail "not a 64-bit little-endian $arch ELF object: $(grep -E 'Class|Machine' <<<"$header" | tr -s ' ' | tr '\n' ' ')"

loader=$(basename "$interpreter")
glibc="lib(c|m|pthread|dl|rt)\\.so\\.[0-9]+|${loader//./\\.}"
if [ -n "$tool" ]; then
  [ -x "$lib" ] || fail "$lib has no run bit"
  readelf -h "$lib" | grep -Eq 'Type: +(EXEC|DYN)' || fail "$lib is no program"
  readelf -l "$lib" | grep -qF "Requesting program interpreter: $interpreter]" ||
    fail "$lib does not run with the system's loader $interpreter"
  allowed="^($glibc)\$"
  what="not glibc's"
else
  "$here/check-binary-surface.sh" elf "${NM:-nm}" "$lib" || failed=1
  allowed="^($glibc|lib(gtk|gdk|gailutil)-3\.so\.0|lib(glib|gobject|gio|gmodule|gthread)-2\.0\.so\.0|libcairo(-gobject)?\.so\.2|libpango(cairo|ft2)?-1\.0\.so\.0|libatk-1\.0\.so\.0|libgdk_pixbuf-2\.0\.so\.0)\$"
  what="neither glibc's nor GTK's"
fi

needed=$(readelf -d "$lib" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
echo "needed:" $needed
for n in $needed; do
  [[ "$n" =~ $allowed ]] || fail "needs $n, which is $what (link it statically)"
done

dump=$(objdump -T "$lib")
versions=$(grep -oE '\b(GLIBC|GLIBCXX|CXXABI|GCC)_[0-9.]+' <<<"$dump" | LC_ALL=C sort -u)
glibc_top=$(grep '^GLIBC_' <<<"$versions" | sed 's/^GLIBC_//' | sort -V | tail -n1)
echo "highest glibc version: ${glibc_top:-none}"
if [ -n "$glibc_top" ] && [ "$(printf '%s\n%s\n' "$glibc_top" "$max_glibc" | sort -V | tail -n1)" != "$max_glibc" ]; then
  fail "needs GLIBC_$glibc_top, above $max_glibc:"
  grep -E "GLIBC_${glibc_top//./\\.}([^.0-9]|$)" <<<"$dump" | sed 's/^/  /'
fi
runtime=$(grep -E '^(GLIBCXX|CXXABI|GCC)_' <<<"$versions" || true)
[ -z "$runtime" ] || fail "needs versions of the C++ runtime or libgcc:" $runtime

[ $failed -eq 0 ] || exit 1
echo "OK: $lib"
