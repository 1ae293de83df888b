#!/usr/bin/env bash
# End to end: quorvel-tags drives the Linux add-in's GTK tag window through
# its socket, as a test scenario does, while the harness pumps GTK's main
# context: presented tags are read by the platform's call, an emptied field
# reads as no tags, added SGTIN tags are read after a --notify, and a write
# the tool made fail answers false with the reader's text. Runs the
# demonstration's session runner (tools/demo-gtk.sh) with a short session;
# the channel folder is the test's own.
#
#   gtk-tags-tool.sh ADDIN.so V8HOST ARTIFACT_DIR MODE QUORVEL-TAGS
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/gtk-lib.sh"
tags_tool=$5
gtk_init gtk-tags-tool "${@:1:4}"
[ -x "$tags_tool" ] || e2e_fail "missing $tags_tool (build first)"
export XDG_RUNTIME_DIR=$E2E_WORK/run
mkdir -m 700 "$XDG_RUNTIME_DIR"

cat >"$E2E_WORK/session.v8s" <<'V8S'
Open()
:tags present 3 5
OpenSessionRFID()
GetDataTagsRFID()
:tags clear
GetDataTagsRFID()
:tags add --sgtin 4650071550247 --serials 1-3 --notify
GetDataTagsRFID()
:tags fail write
SaveDataTagRFID("", "E28011900000000000000002", "00", "", 1, "")
GetLastError("")
Close()
V8S
out=$E2E_WORK/session.out
# The session's one failure is the write the tool made fail.
rc=0
QUORVEL_TAGS_TOOL=$tags_tool "$E2E_DIR/../../tools/demo-gtk.sh" "$E2E_V8HOST" "$E2E_ADDIN" "$E2E_WORK/session.v8s" \
  >"$out" 2>&1 || rc=$?
[ "$rc" = 1 ] && [ "$(grep -c '^< false' "$out")" = 1 ] || { cat "$out"; e2e_fail "the session failed ($rc)"; }
cp "$out" "$E2E_ARTIFACTS/$E2E_NAME.out"

# The first reading holds tags 3 and 5, the second none.
first=$(sed -n '/^> OpenSessionRFID()/,/^> :tags clear/p' "$out")
second=$(sed -n '/^> :tags clear/,/^> :tags add/p' "$out")
third=$(sed -n '/^> :tags add/,/^> :tags fail/p' "$out")
e2e_check "every quorvel-tags command succeeded" test "$(grep -c '(quorvel-tags exit status 0)' "$out")" -eq 4
e2e_check "the first reading holds tag 3" grep -q 'TID="E28011002000589616B408A3"' <<<"$first"
e2e_check "the first reading holds tag 5" grep -q 'TID="E28011002000589616B408A5"' <<<"$first"
e2e_check "the first reading holds no other tag" test "$(grep -c 'TID=' <<<"$first")" -eq 2
e2e_check "the second reading holds no tag" test "$(grep -c 'TID=' <<<"$second")" -eq 0
e2e_check "the added SGTIN tags are read, the session told of them" \
  test "$(grep -c 'EPC="30351BD15C35BC000000000[123]"' <<<"$third")" -eq 3 -a "$(grep -c 'message="RFID"' "$out")" -eq 2
e2e_check "the failed write answers false with error 1001" \
  grep -q '^< false' <<<"$(sed -n '/^> SaveDataTagRFID/,/^> GetLastError/p' "$out")"
e2e_check "and the reader's text" grep -q 'Метка не найдена в поле считывателя' "$out"
e2e_check "every other call answered true" test "$(grep -c '^< true' "$out")" -eq 6
e2e_log "passed"
