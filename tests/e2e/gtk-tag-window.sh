#!/usr/bin/env bash
# End to end: the Linux add-in's GTK tag window. The harness opens the device
# and delivers GTK's events while this script checks where and how the
# window stands (top right of the screen, 10 pixels down, kept above, its
# opacity, its client size), reads the two pictures of page "1" back, clicks
# tab "2" and double-clicks its first picture (the third tag) with real X
# mouse events: GetDataTagsRFID then holds exactly the third tag. A close
# request only hides the window; Close and Open show it again in its place.
#
#   gtk-tag-window.sh ADDIN.so V8HOST ARTIFACT_DIR MODE   (bare, openbox, scale2)
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/gtk-lib.sh"
gtk_init gtk-tag-window "$@"

title="Эмулятор RFID"
first_tid="E28011002000589616B408A1"
second_tid="E28011002000589616B408A2"
third_tid="E28011002000589616B408A3"
s=$GTK_SCALE
e2e_require dmtxread

e2e_host_start
e2e_host_call 'Transparency=20'  # alpha 200
e2e_host_call 'EPC3="3000E2E0000000000000000003"'
e2e_host_call 'USER3="00112233"'
e2e_host_call 'Open()'
e2e_check "Open succeeds" test "$E2E_RESULT" = "true [BOOL]"
e2e_host_pump_start
gtk_wait_window "$title"
window=$E2E_WINDOW
# The window has come to its size and place, kept above (the window manager,
# where there is one, has framed it).
settled() {
  e2e_x_geometry "$window" && [ "$X_WIDTH" -eq $((185 * s)) ] &&
    xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || return 1
  if [ "$GTK_MODE" = openbox ]; then
    xprop -id "$window" _NET_FRAME_EXTENTS | grep -q '='
  else
    [ "$X_TOP" -eq $((10 * s)) ]
  fi
}
e2e_wait_until "the tag window stands at its size and place, kept above" 10 settled

# --- Placement, size, keep-above, opacity -----------------------------------
read -r screen_w _ < <(xdotool getdisplaygeometry)
e2e_x_geometry "$window"
e2e_log "client window ${X_WIDTH}x${X_HEIGHT}+${X_LEFT}+${X_TOP} on width $screen_w (scale $s)"
e2e_check "client area 185 x 111 at scale $s" test "$X_WIDTH" -eq $((185 * s)) -a "$X_HEIGHT" -eq $((111 * s))
gap=$((screen_w - X_LEFT - X_WIDTH))
if [ "$GTK_MODE" = openbox ]; then
  # The frame's right edge is the screen's; its top is 10 down.
  read -r _ frame_right frame_top _ <<<"$(xprop -id "$window" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ,)"
  e2e_log "frame extents right $frame_right, top $frame_top"
  e2e_check "the frame's right edge is the screen's" test $((gap - frame_right)) -eq 0
  e2e_check "the frame's top is 10 from the screen's top" test $((X_TOP - frame_top)) -eq 10
else
  e2e_check "right edge at the screen's (gap $gap)" test "$gap" -eq 0
  e2e_check "top $((10 * s)) from the screen's top" test "$X_TOP" -eq $((10 * s))
fi
state=$(xprop -id "$window" _NET_WM_STATE)
e2e_check "kept above others ($state)" grep -q _NET_WM_STATE_ABOVE <<<"$state"
e2e_check "a utility window" grep -q _NET_WM_WINDOW_TYPE_UTILITY <<<"$(xprop -id "$window" _NET_WM_WINDOW_TYPE)"
opacity=$(xprop -id "$window" _NET_WM_WINDOW_OPACITY | sed -n 's/.*= *//p')
e2e_check "_NET_WM_WINDOW_OPACITY is 200/255 (got ${opacity:-none})" test "${opacity:-0}" = $((200 * 0x01010101))

# --- Tabs and pictures ----------------------------------------------------------
shot() { # NAME: the window's client area
  import -window root -crop "${X_WIDTH}x${X_HEIGHT}+${X_LEFT}+${X_TOP}" +repage "$E2E_ARTIFACTS/$1"
}
shot gtk-tag-window-page1-$GTK_MODE.png
page1="$E2E_ARTIFACTS/gtk-tag-window-page1-$GTK_MODE.png"
mapfile -t images < <(gtk_pictures "$page1")
e2e_check "two pictures on page 1 (got ${#images[@]}: ${images[*]})" test "${#images[@]}" -eq 2
for i in 0 1; do
  read -r _ _ w h <<<"${images[$i]}"
  e2e_check "picture $((i + 1)) is 80 x 80 at scale $s (got $w x $h)" \
    test "$w" -ge $((79 * s)) -a "$w" -le $((80 * s)) -a "$h" -ge $((79 * s)) -a "$h" -le $((80 * s))
done
got=$(gtk_decode "$page1" "${images[0]}")
e2e_check "the first picture reads $first_tid (got '$got')" test "$got" = "$first_tid"
got=$(gtk_decode "$page1" "${images[1]}")
e2e_check "the second picture reads $second_tid (got '$got')" test "$got" = "$second_tid"

# Hovering over a picture shows its hint (the TID) in a tooltip window.
tooltip_shown() {
  local id
  for id in $(xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p'); do
    xwininfo -id "$id" | grep -q IsViewable || continue
    xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_TOOLTIP && return 0
  done
  return 1
}
read -r px py _ <<<"${images[0]}"
xdotool mousemove --sync $((X_LEFT + px)) $((X_TOP + py))
limit=$((SECONDS + 10))
until tooltip_shown || [ $SECONDS -ge $limit ]; do sleep 0.3; done
e2e_check "hovering over a picture shows its hint" tooltip_shown
xdotool mousemove 0 0

read -r _ picture_y _ picture_h <<<"${images[0]}"
# The captions "1" to "4" are the dark marks in the tab row.
strip_h=$((picture_y - picture_h / 2))
gtk_crop_pgm "$page1" "$X_WIDTH" "$strip_h" 0 0 "$E2E_WORK/tabstrip.pgm"
mapfile -t captions < <(python3 "$E2E_DIR/darkspots.py" "$E2E_WORK/tabstrip.pgm" 64 $((3 * s)))
e2e_check "four tab captions in a row above the pictures (found ${#captions[@]})" test "${#captions[@]}" -eq 4

# --- Tab "2", then a double-click on its first picture ---------------------------
read -r cx cy _ <<<"${captions[1]}"
xdotool mousemove --sync $((X_LEFT + cx)) $((X_TOP + cy)) click 1
xdotool mousemove 0 0
page2="$E2E_ARTIFACTS/gtk-tag-window-page2-$GTK_MODE.png"
# The page has changed once its first picture reads as the third tag.
page2_shown() {
  shot "gtk-tag-window-page2-$GTK_MODE.png"
  mapfile -t images < <(gtk_pictures "$page2")
  [ "${#images[@]}" -eq 2 ] && [ "$(gtk_decode "$page2" "${images[0]}")" = "$third_tid" ]
}
e2e_wait_until "the click on tab \"2\" shows the third tag's picture first" 10 page2_shown
e2e_check "two pictures on page 2 (got ${#images[@]})" test "${#images[@]}" -eq 2

read -r px py _ <<<"${images[0]}"
e2e_log "double-click at $((X_LEFT + px)),$((X_TOP + py))"
xdotool mousemove --sync $((X_LEFT + px)) $((X_TOP + py)) click --repeat 2 --delay 80 1
xdotool mousemove 0 0

check_field() { # TABLE WHEN
  local tag='<Tag TID=\"'$third_tid'\" EPC=\"3000E2E0000000000000000003\" USER=\"00112233\"/>'
  e2e_check "$2, the reader's field holds the third tag" grep -qF "$tag" <<<"$1"
  e2e_check "$2, and no other tag" test "$(grep -o '<Tag ' <<<"$1" | wc -l)" -eq 1
}
e2e_host_pump_stop
# The double-click arrives in the harness's message processing: read the
# field until it holds a tag.
field_filled() {
  e2e_host_send ':pump 200'
  n=$(wc -l <"$E2E_HOST_OUT")
  e2e_host_call 'GetDataTagsRFID("", "", "")'
  [ "$E2E_RESULT" = "true [BOOL]" ] && table=$(e2e_tag_table "$n") && grep -q '<Tag ' <<<"$table"
}
e2e_wait_until "the double-click puts a tag into the reader's field" 10 field_filled
check_field "$table" "after the double-click"

# --- A close request hides the window; Close and Open show it again ----------
e2e_host_pump_start
e2e_close_window "$window"
limit=$((SECONDS + 20))
until gtk_window_gone "$title"; do
  [ $SECONDS -lt $limit ] || e2e_fail "the tag window stays on screen after a close request"
  sleep 0.2
done
hidden() { xwininfo -id "$window" 2>/dev/null | grep -q 'Map State: IsUnMapped'; }
e2e_check "the close request hid the window (it still exists)" hidden
e2e_host_pump_stop
e2e_host_call 'Close()'
e2e_check "Close succeeds" test "$E2E_RESULT" = "true [BOOL]"
before="$X_LEFT $X_TOP $X_WIDTH $X_HEIGHT"
e2e_host_call 'Open()'
e2e_check "Open again succeeds" test "$E2E_RESULT" = "true [BOOL]"
e2e_host_pump_start
gtk_wait_window "$title"
same_place() { e2e_x_geometry "$E2E_WINDOW" && test "$X_LEFT $X_TOP $X_WIDTH $X_HEIGHT" = "$before"; }
e2e_wait_until "shown again in the same place ($before)" 10 same_place
e2e_log "ok: shown again in the same place ($before)"
e2e_host_pump_stop
e2e_host_call 'Close()'
e2e_host_finish
e2e_check "the harness run ends cleanly (status $E2E_HOST_RC)" test "$E2E_HOST_RC" -eq 0
e2e_log "passed"
