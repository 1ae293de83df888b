#!/usr/bin/env bash
# Checks the tools archive (tools/make-tools-archive.sh) as a user gets it:
#   - it holds quorvel-tags.exe (a 32-bit Windows program), quorvel-tags
#     (the Linux x86_64 program), linux-aarch64/quorvel-tags (the Linux
#     ARM64 one) and README.txt, which names each;
#   - the Linux programs are stored with their run bit and keep it unpacked,
#     and ask of the system what the portable components may
#     (check-portable-linux.sh --tool: glibc alone, GLIBC_2.17 at most);
#   - each prints its usage with --help and ends with status 0, the .exe
#     under Wine (tools/wine-run.sh), the ARM64 one under QEMU
#     (tools/aarch64-run.sh).
#
#   check-tools-archive.sh dist/quorvel-tools-<version>.zip
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
archive=${1:?usage: check-tools-archive.sh ARCHIVE.zip}
[ -f "$archive" ] || { echo "FAIL: $archive not found"; exit 1; }
failed=0
fail() { echo "FAIL: $*"; failed=1; }
ok() { echo "ok: $*"; }

listing=$(unzip -Z1 "$archive")
for f in quorvel-tags.exe quorvel-tags linux-aarch64/quorvel-tags README.txt; do
  grep -qx "$f" <<<"$listing" && ok "the archive holds $f" || fail "the archive holds no $f"
done
[ $failed -eq 0 ] || exit 1

for f in quorvel-tags linux-aarch64/quorvel-tags; do
  mode=$(unzip -Z "$archive" "$f" | awk 'NR == 1 {print $1}')
  [[ "$mode" == -rwx* ]] && ok "$f is stored with its run bit ($mode)" ||
    fail "$f is stored without its run bit ($mode)"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$archive" -d "$work"
"$here/check-portable-linux.sh" --tool "$work/quorvel-tags" || fail "the Linux quorvel-tags is not portable"
"$here/check-portable-linux.sh" --tool "$work/linux-aarch64/quorvel-tags" aarch64 ||
  fail "the Linux ARM64 quorvel-tags is not portable"

machine=$(od -An -t x2 -j $(($(od -An -t u4 -j 60 -N 4 "$work/quorvel-tags.exe" | tr -d ' ') + 4)) -N 2 \
  "$work/quorvel-tags.exe" | tr -d ' ')
[ "$machine" = 014c ] && ok "quorvel-tags.exe is a 32-bit Windows program" ||
  fail "quorvel-tags.exe is no 32-bit Windows program (machine ${machine:-none})"
readme=$(tr -d '\r' <"$work/README.txt")
grep -q '^  quorvel-tags\.exe  *Windows' <<<"$readme" && grep -q '^  quorvel-tags  *Linux x86_64' <<<"$readme" &&
  grep -A1 '^  linux-aarch64/quorvel-tags$' <<<"$readme" | grep -q 'Linux on 64-bit ARM' &&
  ok "README.txt says which file serves which system" || fail "README.txt does not name each file's system"

usage() { # NAME COMMAND...: --help prints the usage and succeeds
  local name=$1 out rc=0
  shift
  out=$("$@" --help 2>&1) || rc=$?
  out=$(tr -d '\r' <<<"$out")
  if [ $rc -eq 0 ] && grep -q '^usage: quorvel-tags ' <<<"$out"; then
    ok "$name --help prints its usage"
  else
    fail "$name --help: status $rc, output: $(head -n3 <<<"$out")"
  fi
}
usage quorvel-tags "$work/quorvel-tags"
usage linux-aarch64/quorvel-tags "$here/../../tools/aarch64-run.sh" "$work/linux-aarch64/quorvel-tags"
# shellcheck source=tools/wine-route.sh
. "$here/../../tools/wine-route.sh"
if quorvel_kernel_runs_32bit; then
  usage quorvel-tags.exe "$here/../../tools/wine-run.sh" "$work/quorvel-tags.exe"
else
  echo "NOT RUN: quorvel-tags.exe --help: $(quorvel_no_32bit_reason)"
fi

[ $failed -eq 0 ] || exit 1
echo "OK: $archive"
