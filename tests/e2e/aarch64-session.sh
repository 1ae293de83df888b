#!/usr/bin/env bash
# The Linux ARM64 component run by the arm64 harness under QEMU's user-mode
# emulation (tools/aarch64-run.sh), with no display: what the x86_64
# component shows the harness. The exports and the class's members (both
# names, parameter counts, properties), the documents (description,
# settings template, additional actions), a reading session with its event
# and an empty field, settings written and read back, the log written while
# LogEnabled is on, and the memory manager's account (nothing freed twice,
# nothing left live).
#
#   aarch64-session.sh ADDIN.so V8HOST ARTIFACT_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
addin=${1:?usage: aarch64-session.sh ADDIN.so V8HOST ARTIFACT_DIR}
v8host=${2:?v8host}
artifacts=${3:?artifact folder}
run="$root/tools/aarch64-run.sh"
name=aarch64-session
failed=0
log() { printf '[%s] %s\n' "$name" "$*"; }
check() { # WHAT COMMAND...
  local what=$1
  shift
  if "$@"; then log "ok: $what"; else log "FAILED: $what"; failed=1; fi
}
for f in "$addin" "$v8host"; do [ -f "$f" ] || { log "FAILED: missing $f (tools/build-linux-portable.sh aarch64)"; exit 1; }; done
mkdir -p "$artifacts"
# The root once, not once per run, and before HOME (and with it the cache's
# default place) is the test's own.
QUORVEL_AARCH64_ROOT=${QUORVEL_AARCH64_ROOT:-$("$root/tools/build-linux-portable.sh" --root aarch64)}
export QUORVEL_AARCH64_ROOT
work=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-$name.XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run HOME=$work/home LC_ALL=C.UTF-8
mkdir -p "$XDG_DATA_HOME" "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY
started=$SECONDS

# --- The class as the platform lists it --------------------------------------
list=$work/list.txt
check "the arm64 harness loads the library (v8host --list)" "$run" "$v8host" --list "$addin" >"$list" 2>&1 || true
cp "$list" "$artifacts/$name.list.txt"
check "one class, quorvel" test "$(grep -c '^Class ' "$list")" -eq 1 -a "$(grep -c '^Class quorvel (extension "quorvel")' "$list")" -eq 1
check "fourteen methods" test "$(grep -c ' function$' "$list")" -eq 14
check "eighteen properties" test "$(grep -cE ' read(/write)?$' "$list")" -eq 18
check "the RFID methods by both names" grep -q 'GetDataTagsRFID / ПолучитьДанныеМетокRFID  params 3  function' "$list"
check "LogEnabled among the properties" grep -q '\] LogEnabled / ЛогВключен  read/write$' "$list"

# --- A session: documents, reading, settings, log ------------------------------
out=$work/session.txt
rc=0
"$run" "$v8host" "$addin" quorvel 'GetInterfaceRevision()' 'GetDescription()' 'GetParameters()' \
  'GetAdditionalActions()' 'LogEnabled=true' 'SetParameter("Transparency", 120)' 'Transparency' \
  'OpenSessionRFID()' 'GetDataTagsRFID()' 'CloseSessionRFID()' 'Open()' 'GetLastError()' >"$out" 2>&1 || rc=$?
cp "$out" "$artifacts/$name.session.txt"
# Open is the one call that needs a display: it fails, and only it.
check "every call but Open succeeded (harness status $rc)" test "$rc" -eq 1 -a "$(grep -c '^< false' "$out")" -eq 1
check "the interface revision is 3002" grep -q '^< 3002 \[I4\]' "$out"
check "the description names the RFID reader type" grep -q 'EquipmentType=\\"СчитывательRFID\\"' "$out"
check "the settings template comes back" grep -q 'Parameter Name=\\"Transparency\\"' "$out"
check "the additional actions come back" grep -q 'Action Name=' "$out"
check "a setting written by SetParameter reads back" grep -q '^< 120 \[I4\]' "$out"
check "OpenSessionRFID announces the data package" grep -q '^\* ExternalEvent source="" message="RFID"' "$out"
check "an empty field reads as no tags" grep -q '<Table/>' "$out"
open_refused() { grep -A1 -x '< 1001 \[I4\]' "$out" | grep -q 'out 1: "Cannot show the window: no graphical display'; }
check "Open without a display fails with error 1001" open_refused
check "no memory manager errors" test "$(grep -c '^# memory errors' "$out")" -eq 0
check "no memory manager block left live" test "$(grep -c 'still live' "$out")" -eq 0
logs=("$XDG_DATA_HOME"/Halvessa/quorvel/quorvel_*.log)
check "a log file in the user's data folder" test -s "${logs[0]}"
[ ! -s "${logs[0]}" ] || cp "${logs[0]}" "$artifacts/$name.log"
check "the log has the reading session's calls" grep -q 'GetDataTagsRFID' "${logs[0]}"
log "$((SECONDS - started)) s under emulation"
[ $failed -eq 0 ] || { cat "$out"; exit 1; }
log passed
