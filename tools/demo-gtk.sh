#!/usr/bin/env bash
# Runs a v8host session of the Linux add-in (its GTK windows) on the current
# X display, presenting tags the way a user does: the session's ":present N"
# lines become double-clicks (xdotool) on tag N's image in the tag window.
# The harness delivers GTK's events while it pumps (":pump"). Called by
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
"$host" --pretty --script - "$lib" quorvel <"$work/in" >>"$work/out" 2>&1 &
v8pid=$!
exec 7>"$work/in"

shown=0
marker=0
flush_output() {
  local size
  size=$(stat -c %s "$work/out")
  if [ "$size" -gt "$shown" ]; then
    tail -c +$((shown + 1)) "$work/out" | head -c $((size - shown)) | grep -v '^@@sync [0-9]*$' || true
    shown=$size
  fi
}
send() { # one line to v8host, then wait until it has run
  marker=$((marker + 1))
  printf '%s\n:echo @@sync %d\n' "$1" "$marker" >&7
  until grep -qx "@@sync $marker" "$work/out"; do
    kill -0 "$v8pid" 2>/dev/null || { flush_output; echo "demo-gtk.sh: v8host ended early" >&2; return 1; }
    sleep 0.05
  done
  flush_output
}

# The tag window's client window (GTK names its windows in UTF-8 only, so
# the search goes by xwininfo's tree).
window=""
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

page=1
present() { # tag number 1..8
  local n=$1 ox oy want x y
  if ! [[ "$n" =~ ^[1-8]$ ]]; then echo "  (a tag number 1..8 expected)"; return 1; fi
  find_window || return 1
  send ":pump 300"
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
  xdotool mousemove "$x" "$y" sleep 0.1 click --repeat 2 --delay 120 1
  send ":pump 300"
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
