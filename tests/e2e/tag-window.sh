#!/usr/bin/env bash
# End to end: the tag window of an opened device under Wine. The harness
# opens the device and processes window messages while this script checks
# where and how the window stands, switches to page "2" and double-clicks the
# first picture there (the third tag) with real X mouse events. Then the
# harness fetches the tags in the reader's field: exactly the third tag. A
# close request of the window system only hides the window; Close and Open
# show it again in its place, and the tag stays in the field.
#
#   tag-window.sh ADDIN.dll V8HOST.exe WINQUERY.exe ARTIFACT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init tag-window "$@"
e2e_require dmtxread xcompmgr

title="Эмулятор RFID"
third_tid="E28011002000589616B408A3"
first_tid="E28011002000589616B408A1"

e2e_host_start
# Transparency 20 gives the window an alpha of 200.
e2e_host_call 'Transparency=20'
e2e_host_call 'EPC3="3000E2E0000000000000000003"'
e2e_host_call 'USER3="00112233"'
e2e_host_call 'Open()'
e2e_check "Open succeeds" test "$E2E_RESULT" = "true [BOOL]"
e2e_host_pump_start
e2e_wait_window "$title"
window=$E2E_WINDOW
e2e_wait_until "the tag window stands topmost" 10 e2e_shown "$title" first 11

# Decodes the Data Matrix in a screen rectangle "LEFT TOP RIGHT BOTTOM" of a
# screenshot (a quiet zone added, as the picture has none).
decode() {
  local shot=$1 left top right bottom
  read -r left top right bottom <<<"$2"
  convert "$shot" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
    -bordercolor white -border 16 -scale 300% "$E2E_WORK/symbol.png"
  dmtxread -m 5000 "$E2E_WORK/symbol.png" 2>/dev/null || true
}

# --- Placement, topmost, alpha: the X server's view -------------------------
read -r screen_w screen_h < <(xdotool getdisplaygeometry)
e2e_x_geometry "$window"
e2e_log "X window ${X_WIDTH}x${X_HEIGHT}+${X_LEFT}+${X_TOP} on ${screen_w}x${screen_h}"
# Wine draws the frame itself (the prefix is set up so), so the X window is
# the outer window; a managed window would lose its frame to the X window.
e2e_check "right edge at the screen's right edge" \
  test $((screen_w - X_LEFT - X_WIDTH)) -ge 0 -a $((screen_w - X_LEFT - X_WIDTH)) -le 8
e2e_check "top 10 pixels from the screen's top" test "$X_TOP" -ge 10 -a "$X_TOP" -le 40
opacity=$(xprop -id "$window" _NET_WM_WINDOW_OPACITY | sed -n 's/.*= *//p')
e2e_check "_NET_WM_WINDOW_OPACITY is 200/255 (got ${opacity:-none})" \
  test "${opacity:-0}" = $((200 * 0x01010101))

# --- The same through Windows' eyes -------------------------------------------
e2e_query "$title" tag
read -r left top right bottom <<<"$(e2e_q tag rect)"
read -r win_screen_w _ <<<"$(e2e_q tag screen)"
e2e_log "Windows: rect $left $top $right $bottom, client $(e2e_q tag client), screen $(e2e_q tag screen)"
e2e_check "outer right edge equals the screen width" test "$right" -eq "$win_screen_w"
e2e_check "outer top is 10" test "$top" -eq 10
e2e_check "client area 185 x 111" test "$(e2e_q tag client)" = "185 111"
e2e_check "topmost" test "$(e2e_q tag topmost)" = 1
e2e_check "tool window" test "$(e2e_q tag toolwindow)" = 1
e2e_check "layered alpha 200" test "$(e2e_q tag alpha)" = 200

tabs=$(e2e_q_children tag SysTabControl32 | head -n1)
[ -n "$tabs" ] || e2e_fail "the window has no visible tab control"
mapfile -t images < <(e2e_q_children tag Static)
e2e_check "two pictures on the first page (got ${#images[@]})" test "${#images[@]}" -eq 2
read -r il it ir ib <<<"${images[0]}"
e2e_check "pictures are 80 x 80" test $((ir - il)) -eq 80 -a $((ib - it)) -eq 80

e2e_shot tag-window-page1.png
got=$(decode "$E2E_ARTIFACTS/tag-window-page1.png" "${images[0]}")
e2e_check "the first picture reads $first_tid (got '$got')" test "$got" = "$first_tid"

# --- Page "2" with the mouse ----------------------------------------------------
# The tab buttons lie in the strip between the tab control's top and the
# pictures; their captions "1" to "4" are the dark marks there.
read -r tl tt tr _ <<<"$tabs"
convert "$E2E_ARTIFACTS/tag-window-page1.png" -crop "$((tr - tl))x$((it - tt))+$tl+$tt" +repage \
  -colorspace gray -depth 8 "$E2E_WORK/tabstrip.pgm"
mapfile -t captions < <(python3 "$E2E_DIR/darkspots.py" "$E2E_WORK/tabstrip.pgm")
e2e_check "four tab captions in the strip (found ${#captions[@]})" test "${#captions[@]}" -eq 4
read -r cx cy _ <<<"${captions[1]}"
e2e_log "click on tab \"2\" at $((tl + cx)),$((tt + cy))"
page1_first=$(e2e_q_children_ids tag Static | head -n1 | cut -d' ' -f1)
xdotool mousemove --sync $((tl + cx)) $((tt + cy)) click 1
# Other picture controls come up in the same places.
limit=$((SECONDS + 20))
while :; do
  sleep 0.3
  e2e_query "$title" tag2
  shown=$(e2e_q_children_ids tag2 Static | head -n1 | cut -d' ' -f1)
  [ -n "$shown" ] && [ "$shown" != "$page1_first" ] && break
  [ $SECONDS -lt $limit ] || e2e_fail "the click on tab \"2\" did not change the page"
done
e2e_log "ok: page 2 is shown"
mapfile -t images < <(e2e_q_children tag2 Static)
e2e_check "two pictures on the second page (got ${#images[@]})" test "${#images[@]}" -eq 2
read -r il it ir ib <<<"${images[0]}"
e2e_shot tag-window-page2.png
got=$(decode "$E2E_ARTIFACTS/tag-window-page2.png" "${images[0]}")
e2e_check "page 2 shows the third tag first (got '$got')" test "$got" = "$third_tid"

# --- Double-click on the third tag ---------------------------------------------
x=$(((il + ir) / 2))
y=$(((it + ib) / 2))
e2e_log "double-click at $x,$y"
xdotool mousemove --sync "$x" "$y" click --repeat 2 --delay 120 1
sleep 0.5
xdotool mousemove 0 "$((screen_h - 1))"  # no tooltip over the picture
sleep 0.3
e2e_shot tag-window.png

# The alpha in pixels: a compositing manager blends the window over its root
# background (a plain grey when the root has no picture), so a black module
# of a picture reads background × (1 − 200/255).
xcompmgr 6>&- 8>&- >/dev/null 2>&1 &
compositor=$!
level() {
  convert "$E2E_ARTIFACTS/tag-window-alpha.png" -crop "1x1+$1+$2" +repage \
    -colorspace gray -format '%[fx:round(255*mean)]' info:
}
# The compositor has blended the screen once the root is no longer black.
composited() {
  e2e_shot tag-window-alpha.png && background=$(level 0 $((screen_h - 1))) && [ "$background" -ge 64 ]
}
e2e_wait_until "the compositor painted the root" 10 composited
kill "$compositor" 2>/dev/null || true
wait "$compositor" 2>/dev/null || true
black=$(level $((il + 1)) $((ib - 3)))  # the finder pattern's bottom left corner
# A root left black means no compositor blended the window: nothing to measure.
e2e_check "the compositor painted the root (level $background)" test "$background" -ge 64
alpha=$((255 - (255 * black + background / 2) / background))
e2e_check "alpha measured in pixels is 200 +- 8 (black $black over $background: $alpha)" \
  test "$alpha" -ge 192 -a "$alpha" -le 208

# --- The reader's field ---------------------------------------------------------
check_field() { # check_field TABLE WHEN
  e2e_log "tags $2: $1"
  local tag='<Tag TID=\"'$third_tid'\" EPC=\"3000E2E0000000000000000003\" USER=\"00112233\"/>'
  e2e_check "$2, the reader's field holds the third tag with its settings" grep -qF "$tag" <<<"$1"
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
e2e_host_pump_start
check_field "$table" "after the double-click"

# --- A close request hides the window; the next Open shows it again ----------
e2e_log "close request to the tag window"
e2e_close_window "$window"
limit=$((SECONDS + 20))
until e2e_window_gone "$title"; do
  [ $SECONDS -lt $limit ] || e2e_fail "the tag window stays on screen after a close request"
  sleep 0.2
done
e2e_query "$title" closed
e2e_check "the close request hid the window (not destroyed)" test "$(e2e_q closed visible)" = 0
e2e_host_pump_stop
e2e_host_call 'Close()'
e2e_check "Close succeeds" test "$E2E_RESULT" = "true [BOOL]"
e2e_host_call 'Open()'
e2e_check "Open again succeeds" test "$E2E_RESULT" = "true [BOOL]"
e2e_host_pump_start
e2e_wait_window "$title"
e2e_query "$title" reopened
e2e_check "shown again in the same place" test "$(e2e_q reopened rect)" = "$(e2e_q tag rect)"
e2e_host_pump_stop
n=$(wc -l <"$E2E_HOST_OUT")
e2e_host_call 'GetDataTagsRFID("", "", "")'
e2e_host_call 'Close()'
e2e_check "Close succeeds" test "$E2E_RESULT" = "true [BOOL]"
check_field "$(e2e_tag_table "$n")" "after Close and Open"

e2e_host_finish
e2e_check "the harness run ends cleanly (status $E2E_HOST_RC)" test "$E2E_HOST_RC" -eq 0
e2e_log "passed"
