#!/usr/bin/env bash
# Runs a v8host session of the Linux add-in (its GTK windows) on the current
# X display, presenting tags the way a user does: the session's ":present N"
# lines become double-clicks (xdotool) on tag N's image in the tag window,
# and ":tags ARGS" runs quorvel-tags with ARGS (tools/demo-host.sh). The
# harness delivers GTK's events while it pumps (":pump"). Called by
# tools/demo.sh --linux; needs DISPLAY, xdotool and xwininfo.
#
#   tools/demo-gtk.sh V8HOST LIBRARY.so SESSION.v8s [SCREENSHOT.png]
set -euo pipefail
export LC_ALL=C.UTF-8

[ $# -ge 3 ] || { echo "usage: demo-gtk.sh V8HOST LIBRARY.so SESSION.v8s [SCREENSHOT.png]" >&2; exit 2; }
host=$1 lib=$2 session=$3 shot=${4:-}
[ -n "${DISPLAY:-}" ] || { echo "demo-gtk.sh: no DISPLAY" >&2; exit 2; }
for tool in xdotool xwininfo; do
  command -v "$tool" >/dev/null || { echo "demo-gtk.sh: $tool is missing (tools/setup.sh)" >&2; exit 2; }
done

# The GTK tag window: a row of tab buttons "1" to "4" along the top of its
# 185 x 111 client area, two 80 x 80 images per page below them.
title="Эмулятор RFID"
image_x=(43 129) image_y=57   # image centres inside the client area
tab_x0=11 tab_step=24 tab_y=8  # centre of tab 1, distance between tabs

root=$(cd "$(dirname "$0")/.." && pwd)
start_host() {
  "$host" --pretty --script - "$lib" quorvel <"$work/in" >>"$work/out" 2>&1 &
  v8pid=$!
}
# The tag window's client window (GTK names its windows in UTF-8 only, so
# the search goes by xwininfo's tree).
find_window() {
  local id i
  [ -n "$window" ] && return 0
  for ((i = 0; i < 100; i++)); do
    for id in $(xwininfo -root -tree | grep -F "\"$title\"" | awk '{print $1}'); do
      xwininfo -id "$id" | grep -q 'IsViewable' && { window=$id; return 0; }
    done
    send ":pump 100"
  done
  echo "  (the tag window \"$title\" did not appear)"
  return 1
}
client_origin() {
  local info
  info=$(xwininfo -id "$window")
  echo "$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$info") $(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$info")"
}

# quorvel-tags of the same build as v8host.
tags_command=("${QUORVEL_TAGS_TOOL:-$(dirname "$host")/../quorvel-tags/quorvel-tags}")
demo_name=demo-gtk.sh
# shellcheck source=demo-host.sh
. "$root/tools/demo-host.sh"
run_session "$session" "$shot"
