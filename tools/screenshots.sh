#!/usr/bin/env bash
# Takes the pictures of the user guide (docs/images/) from the built add-in:
#   tag-window.png   the tag window under Wine, after the demonstration
#                    session of tools/demo.sh presented tags 1 and 2
#   log-viewer.png   the log viewer (additional action ViewLog) under Wine,
#                    showing the log that session wrote
#   help-page.png    the help page (additional action ShowHelp) as the
#                    add-in renders it, drawn by headless Chromium (Wine has
#                    no browser engine to show it)
#   linux-tag-window.png, linux-log-viewer.png, linux-help-window.png
#                    the same three windows of the Linux build (GTK 3; the
#                    help in WebKitGTK), through the native v8host
# The pictures are of the current sources: the targets they need are built
# first (win32: the add-in and v8host; linux: the add-in, v8host and
# quorvel_demo), unless QUORVEL_SKIP_BUILD=1. Needs Xvfb or a DISPLAY,
# xdotool, ImageMagick and chromium (tools/setup.sh installs them).
#
#   tools/screenshots.sh [--linux] [OUTPUT_DIR]      default docs/images
#   (--linux: only the Linux build's pictures; needs only the linux build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
linux_only=
if [ "${1:-}" = --linux ]; then
  linux_only=1
  shift
fi
out=${1:-docs/images}
mkdir -p "$out"
out=$(cd "$out" && pwd)

if [ -z "${QUORVEL_SKIP_BUILD:-}" ] && [ -z "${QUORVEL_SCREENSHOTS_X:-}" ]; then
  [ -f build/linux/CMakeCache.txt ] || cmake --preset linux >/dev/null
  cmake --build build/linux -j2 --target quorvel v8host quorvel_demo
  if [ -z "$linux_only" ]; then
    [ -f build/win32/CMakeCache.txt ] || cmake --preset win32 >/dev/null
    cmake --build build/win32 -j2 --target quorvel v8host
  fi
fi

if [ -z "$linux_only" ]; then
  host=build/win32/tools/v8host/v8host.exe
  lib=build/win32/quorvel.dll
  demo=build/linux/tools/demo/quorvel_demo
  for f in "$host" "$lib" "$demo"; do
    [ -f "$f" ] || { echo "screenshots.sh: $f was not built" >&2; exit 1; }
  done
fi

# Everything that needs X runs again under a private X server when there is
# no display.
if [ -z "${DISPLAY:-}" ] && [ -z "${QUORVEL_SCREENSHOTS_X:-}" ]; then
  QUORVEL_SCREENSHOTS_X=1 exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" ${linux_only:+--linux} "$out"
fi

work=build/screenshots
rm -rf "$work"
mkdir -p "$work"
missing=0
tools/demo-session.sh >"$work/session.v8s"

if [ -z "$linux_only" ]; then
export QUORVEL_WINEPREFIX=${QUORVEL_WINEPREFIX:-$root/build/win32/wineprefix-demo}

echo "screenshots.sh: the tag window (demonstration session)"
tools/demo-wine.sh "$host" "$lib" "$work/session.v8s" "$out/tag-window.png" >"$work/session.txt"

echo "screenshots.sh: the log viewer"
printf '%s\n' 'SetParameter("LogEnabled", true)' 'DoAdditionalAction("ViewLog")' >"$work/viewlog.v8s"
tools/wine-run.sh "$host" --script "$work/viewlog.v8s" "$lib" quorvel >"$work/viewlog.txt" 2>&1 &
viewer_pid=$!
# The window, once it is there; nothing when the action ends without one.
window=""
for ((i = 0; i < 300; i++)); do
  [ -z "$window" ] || break
  kill -0 "$viewer_pid" 2>/dev/null || break
  window=$(xdotool search --onlyvisible --name "Просмотр лога" 2>/dev/null | head -n1 || true)
  [ -n "$window" ] || sleep 0.2
done
if [ -n "$window" ]; then
  sleep 2  # the viewer loads the newest log and paints
  # Scrolled to the end, as the viewer shows a growing log.
  import -window "$window" "$out/log-viewer.png"
  # The close button of the caption (Wine draws the frame itself).
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + WIDTH - 14)) $((Y + 12)) sleep 0.2 click 1
fi
if ! timeout 20 tail --pid="$viewer_pid" -f /dev/null; then
  echo "screenshots.sh: the log viewer did not close; stopping its Wine session" >&2
  WINEPREFIX=$QUORVEL_WINEPREFIX wineserver -k || true
fi
wait "$viewer_pid" || true
if [ -z "$window" ]; then
  cat "$work/viewlog.txt"
  echo "screenshots.sh: the log viewer did not appear; $out/log-viewer.png left as it was" >&2
  missing=1
fi

echo "screenshots.sh: the help page"
"$demo" --help-page "$work/help" >/dev/null
chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
  --disable-component-update --disable-sync --no-first-run --hide-scrollbars \
  --user-data-dir="$root/$work/chromium" --window-size=900,2400 \
  --screenshot="$root/$work/help-full.png" "file://$root/$work/help/md.html" >"$work/chromium.txt" 2>&1 \
  || { cat "$work/chromium.txt"; exit 1; }
# The page is drawn on a tall canvas; keep the text and a white margin.
convert "$work/help-full.png" -trim +repage -bordercolor white -border 24 "$out/help-page.png"

fi

# --- The Linux build's GTK windows ---------------------------------------------
linux_host=build/linux/tools/v8host/v8host
linux_lib=build/linux/quorvel.so
export LC_ALL=C.UTF-8
# The client window named TITLE once it is on screen (GTK names windows in
# UTF-8 only, so the search goes by xwininfo's tree).
gtk_window() { # TITLE PID
  local id i
  for ((i = 0; i < 150; i++)); do
    kill -0 "$2" 2>/dev/null || return 1
    for id in $(xwininfo -root -tree | grep -F "\"$1\"" | awk '{print $1}'); do
      xwininfo -id "$id" | grep -q IsViewable && { echo "$id"; return 0; }
    done
    sleep 0.2
  done
  return 1
}
# Opens the device, runs the additional action ACTION and pictures its
# window TITLE; a close request ends the action.
gtk_action_shot() { # ACTION TITLE FILE
  local pid window
  printf '%s\n' 'SetParameter("LogEnabled", true)' 'Open()' ":pump 500" "DoAdditionalAction(\"$1\")" 'Close()' \
    >"$work/linux-$1.v8s"
  XDG_DATA_HOME="$root/$work/linux-data" "$linux_host" --script "$work/linux-$1.v8s" "$linux_lib" quorvel \
    >"$work/linux-$1.txt" 2>&1 &
  pid=$!
  if window=$(gtk_window "$2" "$pid"); then
    sleep 4  # the log is loaded, the page drawn
    import -window "$window" "$3"
    python3 tests/e2e/xclose.py "$window"
  else
    cat "$work/linux-$1.txt"
    echo "screenshots.sh: the window \"$2\" did not appear; $3 left as it was" >&2
    missing=1
  fi
  timeout 20 tail --pid="$pid" -f /dev/null || kill "$pid" 2>/dev/null || true
  wait "$pid" || true
}
if [ -f "$linux_lib" ] && [ -x "$linux_host" ]; then
  echo "screenshots.sh: the Linux tag window (demonstration session)"
  XDG_DATA_HOME="$root/$work/linux-data" tools/demo-gtk.sh "$linux_host" "$linux_lib" "$work/session.v8s" \
    "$out/linux-tag-window.png" >"$work/linux-session.txt" || { cat "$work/linux-session.txt"; missing=1; }
  echo "screenshots.sh: the Linux log viewer"
  gtk_action_shot ViewLog "Просмотр лога" "$out/linux-log-viewer.png"
  echo "screenshots.sh: the Linux help window"
  gtk_action_shot ShowHelp "Справка" "$out/linux-help-window.png"
fi

ls -l "$out"/*.png
exit "$missing"
