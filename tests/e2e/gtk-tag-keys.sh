#!/usr/bin/env bash
# End to end: a test scenario's and a user's ways into the Linux add-in's GTK
# tag window, through the harness's GTK pump. With the device open,
# quorvel-tags presents tags 3 and 5; the window, activated, takes a real
# X key "6", which presents tag 6; Ctrl+Page Down shows page 2 (the third
# tag's picture). GetDataTagsRFID then holds tags 3, 5 and 6 in this order.
# The window appears without taking the keyboard.
#
#   gtk-tag-keys.sh ADDIN.so V8HOST ARTIFACT_DIR MODE QUORVEL-TAGS   (MODE: bare, openbox, scale2)
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/gtk-lib.sh"
tags_tool=$5
gtk_init gtk-tag-keys "${@:1:4}"
[ -x "$tags_tool" ] || e2e_fail "missing $tags_tool (build first)"
e2e_require dmtxread
export XDG_RUNTIME_DIR=$E2E_WORK/run
mkdir -m 700 "$XDG_RUNTIME_DIR"

title="Эмулятор RFID"
tid() { printf 'E28011002000589616B408A%d' "$1"; }

e2e_host_start
e2e_host_call 'Open()'
e2e_check "Open succeeds" test "$E2E_RESULT" = "true [BOOL]"
e2e_host_pump_start
gtk_wait_window "$title"
window=$E2E_WINDOW
active=$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | sed -n 's/.*# *//p')
focus=$(xdotool getwindowfocus 2>/dev/null || true)
e2e_check "the window appeared without taking the keyboard (active: ${active:-none}, focus: ${focus:-none})" \
  test $((${active:-0})) -ne $((window)) -a "${focus:-0}" != $((window))

# The field as the reader reports it to quorvel-tags list, waited for.
field_is() { # EXPECTED ("3 5 6")
  local got limit=$((SECONDS + 20))
  while :; do
    got=$("$tags_tool" list 2>&1 | sed -n 's/.*: field //p' || true)
    [ "$got" = "$1" ] && return 0
    [ $SECONDS -lt $limit ] || { e2e_log "the field reads '$got'"; return 1; }
    sleep 0.2
  done
}

out=$("$tags_tool" present 3 5 2>&1) || e2e_fail "quorvel-tags present 3 5 failed: $out"
e2e_log "quorvel-tags: $out"
e2e_check "quorvel-tags present 3 5 puts tags 3 and 5 into the field" field_is "3 5"

# The user activates the window (a window manager's activation, or the X
# focus without one) and types "6".
# The keyboard goes to the window once the X focus is there: asked again
# until it is (a window manager that has just started may not yet take the
# first request).
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$((window))" ]; }
limit=$((SECONDS + 20))
until has_focus; do
  [ $SECONDS -lt $limit ] || break
  [ "$GTK_MODE" != openbox ] || xdotool windowactivate "$window" 2>/dev/null || true
  xdotool windowfocus "$window" 2>/dev/null || true
  sleep 0.2
done
e2e_check "the window takes the keyboard when activated" has_focus
xdotool key 6
e2e_check "the key 6 presents tag 6 after them" field_is "3 5 6"

# Ctrl+Page Down: page 2, whose first picture is the third tag's.
e2e_x_geometry "$window"
xdotool key ctrl+Next
limit=$((SECONDS + 20))
while :; do
  import -window root -crop "${X_WIDTH}x${X_HEIGHT}+${X_LEFT}+${X_TOP}" +repage "$E2E_WORK/page.png"
  mapfile -t images < <(gtk_pictures "$E2E_WORK/page.png")
  got=
  [ "${#images[@]}" -ge 1 ] && got=$(gtk_decode "$E2E_WORK/page.png" "${images[0]}")
  [ "$got" = "$(tid 3)" ] || [ $SECONDS -ge $limit ] && break
  sleep 0.3
done
cp "$E2E_WORK/page.png" "$E2E_ARTIFACTS/$E2E_NAME-page2.png"
e2e_check "Ctrl+Page Down shows page 2 (its first picture reads '$got')" test "$got" = "$(tid 3)"

e2e_host_pump_stop
n=$(wc -l <"$E2E_HOST_OUT")
e2e_host_call 'GetDataTagsRFID("", "", "")'
e2e_check "GetDataTagsRFID succeeds" test "$E2E_RESULT" = "true [BOOL]"
table=$(e2e_tag_table "$n")
order=$(grep -o 'TID=\\"E28011002000589616B408A[1-8]' <<<"$table" | sed 's/.*\(.\)$/\1/' | tr '\n' ' ' || true)
e2e_check "the tags read are 3, 5 and 6 in this order (got: $order)" test "$order" = "3 5 6 "
e2e_host_call 'Close()'
e2e_host_finish
e2e_check "the harness run ends cleanly (status $E2E_HOST_RC)" test "$E2E_HOST_RC" -eq 0
e2e_log "passed"
