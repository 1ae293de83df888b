#!/usr/bin/env bash
# The Linux add-in where no display exists (a server, a CI box): it loads,
# its object is created, documents, settings and reading sessions work;
# Open, ViewLog and ShowHelp fail with a clear message (error 1001), and
# nothing aborts or writes to standard error.
#
#   no-display.sh ADDIN.so V8HOST
set -euo pipefail
addin=$1
v8host=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-no-display.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; echo "---- harness output ----"; cat "$work/out"; echo "---- stderr ----"; cat "$work/err"; exit 1; }

cat >"$work/session.v8s" <<'EOS'
GetInterfaceRevision()
GetDescription()
GetParameters()
SetParameter("EPC1", "3074367C34001E880A6D6168")
SetParameter("LogEnabled", true)
Open()
GetLastError()
Open()
GetLastError()
DoAdditionalAction("ViewLog")
GetLastError()
DoAdditionalAction("ShowHelp")
GetLastError()
OpenSessionRFID()
GetDataTagsRFID()
CloseSessionRFID()
Close()
EOS
status=0
env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME="$work/data" TMPDIR="$work" \
  "$v8host" --script "$work/session.v8s" "$addin" quorvel >"$work/out" 2>"$work/err" || status=$?
# The window calls answer false, so the harness ends with status 1.
[ "$status" -eq 1 ] || fail "the harness ended with status $status (expected 1: failed calls)"
[ ! -s "$work/err" ] || fail "something was written to standard error"
message='Cannot show the window: no graphical display is available'
# Open twice: a failed show leaves nothing behind that lets the next succeed.
[ "$(grep -c "^  out 1: \"$message" "$work/out")" -eq 4 ] || fail "Open (twice), ViewLog and ShowHelp do not all report \"$message\""
[ "$(grep -c '^< 1001 \[I4\]' "$work/out")" -eq 4 ] || fail "the four failures are not error 1001"
[ "$(grep -c '^< false \[BOOL\]' "$work/out")" -eq 4 ] || fail "more or fewer than the four window calls failed"
grep -q '^< 3002 \[I4\]' "$work/out" || fail "GetInterfaceRevision does not answer 3002"
grep -q 'out 1: "<?xml' "$work/out" || fail "GetDescription hands back no document"
grep -q 'LogPath=\\"'"$work"'/data/Halvessa/quorvel/\\"' "$work/out" ||
  fail "the description's LogPath is not the user's data folder"
echo "no-display: passed"
