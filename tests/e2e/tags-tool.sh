#!/usr/bin/env bash
# End to end: quorvel-tags against open readers. The harness opens the device
# and processes its messages while the tool presents tags 3 and 5; the tags
# the harness then fetches are exactly those, in that order. Presenting tag 3
# again, tag 9 or garbage changes nothing; clear empties the field. With a
# second harness (a second driver object) open, a command without --reader
# fails and --reader reaches the chosen one; once that harness has destroyed
# its object, list no longer shows it. A closed device still takes commands.
#
#   tags-tool.sh ADDIN.dll V8HOST.exe WINQUERY.exe ARTIFACT_DIR TOOL.exe [TOOL64.exe]
#       under Wine on an X server of its own; also the digit keys of the
#       tag window (real X key events)
#   tags-tool.sh --linux QUORVEL_DEMO ARTIFACT_DIR TOOL
#       natively: the Linux build's objects in-process (quorvel_demo, whose
#       headless windows serve their sockets while it pumps)
source "$(dirname "$0")/lib.sh"

if [ "${1:-}" = --linux ]; then
  MODE=linux
  e2e_init_demo tags-tool-linux "$2" "$3" "$4"
  second_host() { "$DEMO" - ; }
else
  MODE=wine
  TOOL=$(e2e_windows_tool "${5:?TOOL.exe}" "${6:-}")
  e2e_init tags-tool "$1" "$2" "$3" "$4"
  [ -f "$TOOL" ] || e2e_fail "missing $TOOL (quorvel-tags.exe of the win32 build serves both bitnesses: build the win32 preset)"
  second_host() { "$E2E_WINE_RUN" "$E2E_V8HOST" --script - "$E2E_ADDIN" quorvel 8>&-; }
  # The 32-bit tool runs in the harness's Wine session, whatever its bitness.
  tool() { QUORVEL_WINEPREFIX=$E2E_PREFIX "$E2E_WINE_RUN" "$TOOL" "$@" 6>&- 8>&- | tr -d '\r'; }
fi
# The second harness's input ends with the test, whatever way it ends.
stop="$E2E_WORK/second.stop"
trap 'rc=$?; touch "$stop" 2>/dev/null; (exit $rc); e2e_cleanup' EXIT
# No reader of another program of this user may answer.
export XDG_RUNTIME_DIR="$E2E_WORK/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# tool_is STATUS ARGS...: runs the tool, which must end with STATUS; its
# output is in TOOL_OUT (pipefail: a pipe's status is the tool's).
tool_is() {
  local want=$1 rc=0
  shift
  TOOL_OUT=$(tool "$@" 2>&1) || rc=$?
  e2e_log "quorvel-tags $* -> $rc: $TOOL_OUT"
  [ "$rc" = "$want" ] || e2e_fail "quorvel-tags $* ended with $rc, expected $want"
}

# The tag numbers in the table of the last GetDataTagsRFID, in order.
field() {
  local n
  n=$(e2e_host_results)
  e2e_host_call 'GetDataTagsRFID("", "", "")' >&2
  [ "$E2E_RESULT" = "true [BOOL]" ] || e2e_fail "GetDataTagsRFID failed: $E2E_RESULT"
  # The table follows the result line in the transcript.
  e2e_wait_until "GetDataTagsRFID's table in the transcript" 10 \
    grep -q "^  out 3:" <(awk -v n="$n" '/^< /{r++} r>n' "$E2E_HOST_OUT")
  awk -v n="$n" '/^< /{r++} r>n' "$E2E_HOST_OUT" | grep -o 'B408A[1-8]' | cut -c6 | tr -d '\n' || true
}
# Reads the field until it is WANT (the window may still be processing what
# it was sent); fails when it is not within a few seconds.
check_field() { # WANT WHEN
  local got limit=$((SECONDS + 10))
  until got=$(field) && [ "$got" = "$1" ]; do
    [ $SECONDS -lt $limit ] || e2e_fail "tags in the field $2: '$got', expected '$1'"
    e2e_host_send ':pump 200'
  done
  e2e_log "ok: tags in the field $2: '$got'"
}

e2e_host_start
e2e_host_call 'Open()'
e2e_check "Open succeeds" test "$E2E_RESULT" = "true [BOOL]"

e2e_host_pump_start
tool_is 0 list
first=$(sed -n 's/^reader \([0-9][0-9a-f-]*\) .*/\1/p' <<<"$TOOL_OUT")
e2e_check "list shows one reader, window shown" test -n "$first" -a "$(grep -c 'window shown' <<<"$TOOL_OUT")" = 1
tool_is 0 present 3 5
tool_is 0 present 3
e2e_check "present 3 again leaves the field as it was" grep -q 'field 3 5$' <<<"$TOOL_OUT"
tool_is 6 present 9
tool_is 6 present 2 9
tool_is 2 present three
tool_is 1 raw 'quorvel-tags/1 present 2 x'
tool_is 1 raw 'quorvel-tags/1 present 2 '
tool_is 1 raw "$(head -c 600 /dev/zero | tr '\0' 7)"
tool_is 1 raw 'quorvel-tags/7 clear'
tool_is 1 raw 'quorvel-tags/1 remove 3'
e2e_host_pump_stop
check_field 35 "after present 3 5, present 3 again, tag 9 and garbage"

e2e_host_pump_start
tool_is 0 clear
e2e_host_pump_stop
check_field "" "after clear"

# --- Two driver objects ---------------------------------------------------------
{ echo 'Open()'; while [ ! -f "$stop" ]; do echo ':pump 300'; sleep 0.25; done; } |
  second_host >"$E2E_WORK/second.out" 2>&1 6>&- &
second_pid=$!
e2e_host_pump_start
limit=$((SECONDS + E2E_TIMEOUT))
until [ "$(tool list 2>/dev/null | grep -c '^reader ')" = 2 ]; do
  [ $SECONDS -lt $limit ] || e2e_fail "the second reader did not show up in list"
  sleep 0.3
done
tool_is 4 present 1
tool_is 5 --reader 999999-9 present 1
tool_is 0 --reader "$first" present 1
tool_is 0 --json list
e2e_check "--reader reached the chosen reader only" \
  grep -q "{\"id\":\"$first\",[^}]*\"field\":\[1\]}.*\"field\":\[\]}\|\"field\":\[\]}.*{\"id\":\"$first\",[^}]*\"field\":\[1\]}" <<<"$TOOL_OUT"
touch "$stop"
wait "$second_pid" || e2e_fail "the second harness failed: $(cat "$E2E_WORK/second.out")"
tool_is 0 list
e2e_check "the destroyed driver object is gone from list" test "$(grep -c '^reader ' <<<"$TOOL_OUT")" = 1
e2e_check "the remaining reader is the first" grep -q "^reader $first " <<<"$TOOL_OUT"

if [ "$MODE" = wine ]; then
  # --- v8host through the same channel; the digit keys of the tag window --------
  e2e_host_pump_stop
  e2e_host_send ":tags --reader $first present 6"
  limit=$((SECONDS + E2E_TIMEOUT))
  until grep -q '(quorvel-tags exit status' "$E2E_HOST_OUT"; do
    [ $SECONDS -lt $limit ] || e2e_fail "no answer to :tags from the harness"
    sleep 0.1
  done
  e2e_check "v8host's :tags presents through the channel" grep -q '(quorvel-tags exit status 0)' "$E2E_HOST_OUT"
  e2e_host_pump_start
  e2e_wait_window "Эмулятор RFID"
  xdotool windowfocus --sync "$E2E_WINDOW" 2>/dev/null || xdotool windowfocus "$E2E_WINDOW"
  has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$E2E_WINDOW" ]; }
  e2e_wait_until "the tag window has the keyboard focus" 10 has_focus
  xdotool key --window "$E2E_WINDOW" 4 2>/dev/null || xdotool key 4
  e2e_host_pump_stop
  check_field 164 "after :tags present 6 and the key 4"
fi

# A closed device (its window hidden) still takes commands.
e2e_host_pump_stop
e2e_host_call 'Close()'
e2e_host_pump_start
tool_is 0 present 7
e2e_check "the hidden window took tag 7" grep -q 'window hidden): field .*7$' <<<"$TOOL_OUT"
e2e_host_finish
e2e_check "the harness ends cleanly" test "$E2E_HOST_RC" = 0
tool_is 3 present 1
e2e_log "passed"
