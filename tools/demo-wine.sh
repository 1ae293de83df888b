#!/usr/bin/env bash
# Runs a v8host session of the Windows add-in under Wine on the current X
# display, presenting tags the way a user does: the session's ":present N"
# lines become double-clicks (xdotool) on tag N's image in the tag window.
# Called by tools/demo.sh; needs DISPLAY, xdotool and xwininfo.
#
#   tools/demo-wine.sh HOST.exe LIBRARY SESSION.v8s [SCREENSHOT.png]
#
# The session runs as tools/demo-host.sh describes; ":tags ARGS" runs
# quorvel-tags.exe (beside v8host in the build) in the same Wine session.
# SCREENSHOT gets a picture of the tag window once tags are presented. Wine
# runs in a prefix of its own (<build>/wineprefix-demo), so the
# demonstration never stops a Wine session that tests use.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

[ $# -ge 3 ] || { echo "usage: demo-wine.sh HOST.exe LIBRARY SESSION.v8s [SCREENSHOT.png]" >&2; exit 2; }
host=$1 lib=$2 session=$3 shot=${4:-}
[ -n "${DISPLAY:-}" ] || { echo "demo-wine.sh: no DISPLAY" >&2; exit 2; }
for tool in xdotool xwininfo; do
  command -v "$tool" >/dev/null || { echo "demo-wine.sh: $tool is missing (tools/setup.sh)" >&2; exit 2; }
done

# The tag window as the add-in lays it out: client area 185 x 111 under the
# window frame; four button tabs along the top, two 80 x 80 images per page
# below them.
title="Эмулятор RFID"
client_w=185 client_h=111
image_x=(47 133) image_y=64   # image centres inside the client area
tab_x0=13 tab_step=27 tab_y=9  # centre of tab 1, distance between tabs

build_dir=$(cd "$(dirname "$host")/../.." && pwd)
demo_prefix=${QUORVEL_WINEPREFIX:-$build_dir/wineprefix-demo}
start_host() {
  QUORVEL_WINEPREFIX=$demo_prefix "$root/tools/wine-run.sh" "$host" --pretty --script - "$lib" quorvel \
    <"$work/in" >>"$work/out" 2>&1 &
  v8pid=$!
}
find_window() {
  [ -n "$window" ] && return 0
  window=$(timeout 30 xdotool search --sync --onlyvisible --name "$title" 2>/dev/null | head -n1 || true)
  [ -n "$window" ] || { echo "  (the tag window \"$title\" did not appear)"; return 1; }
}
# Client-area origin of the tag window on the screen: the frame is as wide
# on the left as on the right and at the bottom; the rest is the caption.
client_origin() {
  local X Y WIDTH HEIGHT SCREEN WINDOW border
  eval "$(xdotool getwindowgeometry --shell "$window")"
  border=$(((WIDTH - client_w) / 2))
  echo "$((X + border)) $((Y + HEIGHT - client_h - border))"
}
tags_tool=${QUORVEL_TAGS_TOOL:-$build_dir/tools/quorvel-tags/quorvel-tags.exe}
tags_command=(env QUORVEL_WINEPREFIX="$demo_prefix" "$root/tools/wine-run.sh" "$tags_tool")
demo_name=demo-wine.sh
# shellcheck source=demo-host.sh
. "$root/tools/demo-host.sh"
run_session "$session" "$shot"
