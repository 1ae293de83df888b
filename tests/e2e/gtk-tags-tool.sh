#!/usr/bin/env bash
# End to end: quorvel-tags drives the Linux add-in's GTK tag window through
# its socket, as a test scenario does, while the harness pumps GTK's main
# context: presented tags are read by the platform's call, an emptied field
# reads as no tags. Runs the demonstration's session runner (tools/demo-gtk.sh)
# with a short session; the channel folder is the test's own.
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
Close()
V8S
out=$E2E_WORK/session.out
QUORVEL_TAGS_TOOL=$tags_tool "$E2E_DIR/../../tools/demo-gtk.sh" "$E2E_V8HOST" "$E2E_ADDIN" "$E2E_WORK/session.v8s" \
  >"$out" 2>&1 || { cat "$out"; e2e_fail "the session failed"; }
cp "$out" "$E2E_ARTIFACTS/$E2E_NAME.out"

# The first reading holds tags 3 and 5, the second none.
first=$(sed -n '/^> GetDataTagsRFID()/,/^> :tags clear/p' "$out")
second=$(sed -n '/^> :tags clear/,$p' "$out" | sed -n '/^> GetDataTagsRFID()/,/^> Close()/p')
e2e_check "both quorvel-tags commands succeeded" test "$(grep -c '(quorvel-tags exit status 0)' "$out")" -eq 2
e2e_check "the first reading holds tag 3" grep -q 'TID="E28011002000589616B408A3"' <<<"$first"
e2e_check "the first reading holds tag 5" grep -q 'TID="E28011002000589616B408A5"' <<<"$first"
e2e_check "the first reading holds no other tag" test "$(grep -c 'TID=' <<<"$first")" -eq 2
e2e_check "the second reading holds no tag" test "$(grep -c 'TID=' <<<"$second")" -eq 0
e2e_check "every call answered true" test "$(grep -c '^< true' "$out")" -eq 5
e2e_log "passed"
