#!/usr/bin/env bash
# End to end: an inventory scenario driven by quorvel-tags against a live
# reader, checked only through what the platform sees: GetDataTagsRFID,
# SaveDataTagRFID, GetLastError and the external events the harness records.
# 300 SGTIN tags of one GTIN with --notify while a session is open, 5 more
# from a CSV file (CR LF, header), a write into an added tag, a failed write,
# removals, a scenario file with a failed read, and a refused command of
# every verb that leaves the field, the pending failures and the settings
# as they were.
#
#   tags-scenarios.sh ADDIN.dll V8HOST.exe WINQUERY.exe ARTIFACT_DIR TOOL.exe [TOOL64.exe]
#       under Wine (the harness v8host, the 32-bit tool)
#   tags-scenarios.sh --linux QUORVEL_DEMO ARTIFACT_DIR TOOL
#       natively: the Linux build's objects in-process (quorvel_demo)
source "$(dirname "$0")/lib.sh"

if [ "${1:-}" = --linux ]; then
  e2e_init_demo tags-scenarios-linux "$2" "$3" "$4"
  native_path() { echo "$1"; }
else
  TOOL=$(e2e_windows_tool "${5:?TOOL.exe}" "${6:-}")
  e2e_init tags-scenarios "$1" "$2" "$3" "$4"
  [ -f "$TOOL" ] || e2e_fail "missing $TOOL (quorvel-tags.exe of the win32 build: build the win32 preset)"
  tool() { QUORVEL_WINEPREFIX=$E2E_PREFIX "$E2E_WINE_RUN" "$TOOL" "$@" 6>&- 8>&- | tr -d '\r'; }
  native_path() { echo "Z:${1//\//\\}"; }
fi
export XDG_RUNTIME_DIR="$E2E_WORK/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# tool_is STATUS ARGS...: the tool must end with STATUS; output in TOOL_OUT.
tool_is() {
  local want=$1 rc=0
  shift
  TOOL_OUT=$(tool "$@" 2>&1) || rc=$?
  e2e_log "quorvel-tags $* -> $rc: $(head -c 400 <<<"$TOOL_OUT")"
  [ "$rc" = "$want" ] || e2e_fail "quorvel-tags $* ended with $rc, expected $want"
}
# with_pump STATUS ARGS...: the same while the harness serves the reader.
with_pump() {
  e2e_host_pump_start
  tool_is "$@"
  e2e_host_pump_stop
}
# call CALL: one harness call; HOST_TEXT holds what the harness printed for it.
call() {
  local before
  before=$(wc -l <"$E2E_HOST_OUT")
  e2e_host_call "$1"
  sleep 0.3
  HOST_TEXT=$(tail -n +"$((before + 1))" "$E2E_HOST_OUT" | grep -v '^> :pump' || true)
}
read_tags() {
  call 'GetDataTagsRFID("", "", "")'
  [ "$E2E_RESULT" = "true [BOOL]" ] || e2e_fail "GetDataTagsRFID failed: $E2E_RESULT"
  # One Tag per line, whether the harness shows the table indented (the
  # Linux demo) or as one quoted text (v8host).
  TAGS=$(sed 's/\\"/"/g; s/<Tag /\n<Tag /g' <<<"$HOST_TEXT" | grep '<Tag TID=' || true)
}
tag_count() { grep -c 'TID=' <<<"$TAGS" || true; }
events() { grep -c '^\* ExternalEvent .*message="RFID"' "$E2E_HOST_OUT" || true; }

e2e_host_start
call 'Open()'
call 'OpenSessionRFID("")'
e2e_check "the session opened with one event" test "$(events)" = 1

# --- 300 SGTIN tags of one GTIN, --notify ---------------------------------------
with_pump 0 add --sgtin 4650071550247 --serials 1-300 --notify
e2e_check "add --notify with a session open raised the event again" test "$(events)" = 2
printf 'TID,EPC,USER\r\nE2003412000000000000A001,3074257BF7194E4000000001,\r\n' >"$E2E_WORK/five.csv"
for n in 2 3 4 5; do printf 'e2003412000000000000a00%s,3074257BF7194E400000000%s,0A0B\r\n' $n $n; done >>"$E2E_WORK/five.csv"
with_pump 0 add --file "$(native_path "$E2E_WORK/five.csv")"
e2e_check "add --file without --notify raised nothing" test "$(events)" = 2
read_tags
e2e_check "the first reading holds 305 tags" test "$(tag_count)" = 305
e2e_check "the first generated tag is serial 1 of the GTIN" \
  grep -q 'TID="E28011900000000000000001" EPC="30351BD15C35BC0000000001" USER=""' <<<"$TAGS"
e2e_check "the CSV's tags come last, upper-cased" \
  grep -q 'TID="E2003412000000000000A005" EPC="3074257BF7194E4000000005" USER="0A0B"' <<<"$(tail -n1 <<<"$TAGS")"

# --- a write into an added tag, then a failed write ----------------------------
call 'SaveDataTagRFID("", "e28011900000000000000002", "30351BD15C35BC00000003E8", "", 1, "")'
e2e_check "the write into an added tag succeeds" test "$E2E_RESULT" = "true [BOOL]"
read_tags
e2e_check "the added tag holds the new EPC" grep -q 'TID="E28011900000000000000002" EPC="30351BD15C35BC00000003E8"' <<<"$TAGS"
with_pump 0 fail write
call 'SaveDataTagRFID("", "E28011900000000000000003", "00", "", 1, "")'
e2e_check "the write fails" test "$E2E_RESULT" = "false [BOOL]"
call 'GetLastError("")'
e2e_check "GetLastError gives 1001" test "$E2E_RESULT" = "1001 [I4]"
e2e_check "with the reader's own text" grep -q 'Метка не найдена в поле считывателя' <<<"$HOST_TEXT"
read_tags
e2e_check "the failed write changed nothing" grep -q 'TID="E28011900000000000000003" EPC="30351BD15C35BC0000000003"' <<<"$TAGS"

# --- refused commands of every verb change nothing ------------------------------
with_pump 0 fail session --times 2
with_pump 0 --json list
state_before=$TOOL_OUT
read_tags
tags_before=$TAGS
printf 'TID,EPC,USER\nAABBCCDD,00,\nAABBCCDD01,0,\n' >"$E2E_WORK/bad.csv"
e2e_host_pump_start
tool_is 1 add E28011900000000000000001 AABBCCDD
tool_is 2 add --file "$(native_path "$E2E_WORK/bad.csv")"
e2e_check "the bad line is named" grep -q 'line 3' <<<"$TOOL_OUT"
tool_is 2 add --sgtin 4650071550246 --serials 1-3
tool_is 1 add --sgtin 4650071550247 --serials 1-9800
tool_is 1 remove 7
tool_is 1 remove E28011900000000000000001 AABBCCDDEEFF
tool_is 6 present 2 9
tool_is 2 fail sometimes
tool_is 2 fail write --times 0
tool_is 1 raw 'quorvel-tags/2 add AABBCCDD:0'
tool_is 0 --json list
e2e_host_pump_stop
e2e_check "the pending failures and the count are as they were" test "$TOOL_OUT" = "$state_before"
read_tags
e2e_check "the field is as it was" test "$TAGS" = "$tags_before"
with_pump 0 fail clear

# --- tags leave the field; a scenario with a failed read ------------------------
with_pump 0 remove E28011900000000000000001 e2003412000000000000a005
read_tags
e2e_check "the second reading holds 303 tags" test "$(tag_count)" = 303
e2e_check "the removed tags are gone" test "$(grep -c 'E28011900000000000000001\|E2003412000000000000A005' <<<"$TAGS")" = 0
cat >"$E2E_WORK/scenario.txt" <<'RUN'
# a reader that fails once, then loses every tag
fail read --message "Нет связи"
wait 50
present 4
RUN
with_pump 0 run "$(native_path "$E2E_WORK/scenario.txt")"
call 'GetDataTagsRFID("", "", "")'
e2e_check "the scenario's failed read" test "$E2E_RESULT" = "false [BOOL]"
call 'GetLastError("")'
e2e_check "carries the scenario's text" grep -q 'Нет связи' <<<"$HOST_TEXT"
read_tags
e2e_check "tag 4 came last" grep -q 'TID="E28011002000589616B408A4"' <<<"$(tail -n1 <<<"$TAGS")"
printf 'clear\nremove 4\nlist\n' >"$E2E_WORK/stops.txt"
with_pump 1 run "$(native_path "$E2E_WORK/stops.txt")"
e2e_check "a scenario names the line it stopped at" grep -q 'line 2' <<<"$TOOL_OUT"
read_tags
e2e_check "the cleared field reads empty" test "$(tag_count)" = 0

tool_is 0 decode 3074367C34001E880A6D6168
e2e_check "decode needs no reader" grep -q 'GTIN 00892685001225 serial 34534678888' <<<"$TOOL_OUT"
e2e_host_finish
# The harness counts the two failures the scenario asked for.
e2e_check "the harness ends after the two failed calls only" \
  test "$E2E_HOST_RC" = 1 -a "$(grep -c '^< false' "$E2E_ARTIFACTS/$E2E_NAME.host.txt")" = 2
e2e_log "passed"
