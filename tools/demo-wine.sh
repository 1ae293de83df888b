#!/usr/bin/env bash
# Runs a v8host session of the Windows add-in under Wine on the current X
# display, presenting tags the way a user does: the session's ":present N"
# lines become double-clicks (xdotool) on tag N's image in the tag window.
# Called by tools/demo.sh; needs DISPLAY, xdotool and xwininfo.
#
#   tools/demo-wine.sh HOST.exe LIBRARY SESSION.v8s [SCREENSHOT.png]
#
# The session's calls go to `v8host --pretty --script -` one at a time; after
# each, the script waits until v8host has answered, so its output and the
# lines about double-clicks appear in order. The session's ":tags ARGS" lines
# run the control tool quorvel-tags.exe (beside v8host in the build) with ARGS
# in the same Wine session while v8host processes messages, as a test
# scenario of a user's would. SCREENSHOT gets a picture of the
# tag window once tags are presented. Wine runs in a prefix of its own
# (<build>/wineprefix-demo), so the demonstration never stops a Wine session
# that tests use.
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

work=$(mktemp -d)
v8pid=""
cleanup() {
  exec 7>&- 2>/dev/null || true
  [ -n "$v8pid" ] && kill "$v8pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkfifo "$work/in"
: >"$work/out"

build_dir=$(cd "$(dirname "$host")/../.." && pwd)
QUORVEL_WINEPREFIX=${QUORVEL_WINEPREFIX:-$build_dir/wineprefix-demo} \
  "$root/tools/wine-run.sh" "$host" --pretty --script - "$lib" quorvel <"$work/in" >>"$work/out" 2>&1 &
v8pid=$!
exec 7>"$work/in"

shown=0      # bytes of v8host's output already printed
marker=0
flush_output() { # prints what v8host wrote since the last time, without markers
  local size
  size=$(stat -c %s "$work/out")
  if [ "$size" -gt "$shown" ]; then
    tail -c +$((shown + 1)) "$work/out" | head -c $((size - shown)) | grep -v '^@@sync [0-9]*$\|^> :pump 200$' || true
    shown=$size
  fi
}
send() { # one line to v8host, then wait until it has run
  marker=$((marker + 1))
  printf '%s\n:echo @@sync %d\n' "$1" "$marker" >&7
  until grep -qx "@@sync $marker" "$work/out"; do
    kill -0 "$v8pid" 2>/dev/null || { flush_output; echo "demo-wine.sh: v8host ended early" >&2; return 1; }
    sleep 0.05
  done
  flush_output
}

window=""
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
double_click() { # X Y
  xdotool mousemove "$1" "$2" sleep 0.1 click --repeat 2 --delay 120 1
}

page=1
present() { # tag number 1..8
  local n=$1 ox oy want x y
  if ! [[ "$n" =~ ^[1-8]$ ]]; then echo "  (a tag number 1..8 expected)"; return 1; fi
  find_window || return 1
  send ":pump 300"  # the window paints itself before the user looks at it
  read -r ox oy < <(client_origin)
  want=$(((n - 1) / 2 + 1))
  if [ "$want" != "$page" ]; then
    x=$((ox + tab_x0 + (want - 1) * tab_step)) y=$((oy + tab_y))
    echo "  click on tab $want at ($x, $y)"
    xdotool mousemove "$x" "$y" sleep 0.1 click 1
    page=$want
    send ":pump 300"
  fi
  x=$((ox + image_x[(n - 1) % 2])) y=$((oy + image_y))
  echo "  double-click on image $n (page $want) at ($x, $y) of the screen"
  double_click "$x" "$y"
  send ":pump 300"  # the add-in processes the double-click
}

demo_prefix=${QUORVEL_WINEPREFIX:-$build_dir/wineprefix-demo}
tags_tool=${QUORVEL_TAGS_TOOL:-$build_dir/tools/quorvel-tags/quorvel-tags.exe}
tags() { # ARGS of quorvel-tags
  local rc=0 pid
  [ -f "$tags_tool" ] || { echo "  ($tags_tool was not built)"; return 1; }
  QUORVEL_WINEPREFIX=$demo_prefix "$root/tools/wine-run.sh" "$tags_tool" "$@" >"$work/tags.out" 2>&1 7>&- &
  pid=$!
  # v8host processes window messages (the tool's command among them) until
  # the tool has its answer.
  while kill -0 "$pid" 2>/dev/null; do send ":pump 200"; done
  wait "$pid" || rc=$?
  tr -d '\r' <"$work/tags.out" | sed 's/^/  /'
  echo "  (quorvel-tags exit status $rc)"
  return $rc
}
status=0
while IFS= read -r line || [ -n "$line" ]; do
  case "$line" in
    ":present "*)
      echo "> $line"
      present "${line#:present }" || status=1
      if [ -n "$shot" ] && [ -n "$window" ]; then
        mkdir -p "$(dirname "$shot")"
        import -window "$window" "$shot" 2>/dev/null || true
      fi
      ;;
    ":tags "*)
      echo "> $line"
      # shellcheck disable=SC2086 # the arguments are words
      tags ${line#:tags } || status=1
      ;;
    *) send "$line" || { status=1; break; } ;;
  esac
done <"$session"

exec 7>&-
rc=0
wait "$v8pid" || rc=$?
v8pid=""
flush_output
[ "$rc" -eq 0 ] || status=$rc
[ -z "$shot" ] || [ ! -f "$shot" ] || echo "# the tag window: $shot"
exit "$status"
