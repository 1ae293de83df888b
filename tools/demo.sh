#!/usr/bin/env bash
# The main job: installs what is missing, builds every target (linux, win32,
# win64, the portable Linux components for x86_64 and ARM64), the add-in bundle
# dist/quorvel-<version>.zip and the tools archive
# dist/quorvel-tools-<version>.zip (quorvel-tags), then runs a
# demonstration session of the add-in through the host harness v8host, the
# way the 1C:Enterprise platform drives it (tools/demo-session.sh).
#
#   tools/demo.sh            the 32-bit DLL under Wine (what the platform loads;
#                            the 64-bit one where the kernel refuses 32-bit
#                            programs, or with QUORVEL_NO_32BIT=1);
#                            tags are double-clicked in the tag window with
#                            xdotool, on DISPLAY or a private Xvfb
#   tools/demo.sh --linux    the same session natively with the Linux build's
#                            quorvel.so and its GTK tag window, through
#                            v8host, on DISPLAY or a private Xvfb (without
#                            either: in-process with the headless window,
#                            build/linux/tools/demo/quorvel_demo); builds only
#                            the Linux target
#   QUORVEL_SKIP_SETUP=1     do not run tools/setup.sh
#   QUORVEL_SKIP_BUILD=1     use the builds as they are
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

target=win32
case "${1:-}" in
  "") ;;
  --linux) target=linux ;;
  -h|--help) sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  *) echo "tools/demo.sh: unknown option $1 (--linux)" >&2; exit 2 ;;
esac

banner() { printf '\n==== %s ====\n' "$*"; }

if [ -z "${QUORVEL_SKIP_SETUP:-}" ]; then
  banner "setup"
  tools/setup.sh
fi
if [ -z "${QUORVEL_SKIP_BUILD:-}" ]; then
  presets=(linux win32 win64)
  [ "$target" = linux ] && presets=(linux)
  for p in "${presets[@]}"; do
    banner "build $p"
    cmake --preset "$p" >/dev/null
    cmake --build --preset "$p"
  done
  if [ "$target" != linux ]; then
    banner "build linux-portable"
    tools/build-linux-portable.sh
    banner "build linux-portable aarch64"
    tools/build-linux-portable.sh aarch64
    banner "bundle"
    tools/make-bundle.sh
    # The reader control tool ships in an archive of its own.
    tools/make-tools-archive.sh
  fi
fi

# The session: tools/demo-session.sh (the platform's calls, with the
# settings template's defaults), run by whoever can present tags.
mkdir -p build/demo
session=build/demo/session.v8s
tools/demo-session.sh >"$session"

# The log the session writes (LogEnabled is on in the template).
show_log() { # FOLDER
  local log
  log=$(ls -t "$1"/quorvel_*.log 2>/dev/null | head -n1 || true)
  [ -n "$log" ] || return 0
  banner "the driver's log: $log (last lines)"
  tail -n 12 "$log"
}

if [ "$target" = linux ]; then
  host=build/linux/tools/v8host/v8host
  lib=build/linux/quorvel.so
  if [ -f "$lib" ] && [ -x "$host" ] && { [ -n "${DISPLAY:-}" ] || command -v xvfb-run >/dev/null; }; then
    banner "demonstration: $lib (GTK windows) through v8host"
    echo "Tags are presented like a user does it: a double-click (xdotool) on the"
    echo "tag's image in the tag window \"Эмулятор RFID\" at the top right of the screen."
    run_demo=(tools/demo-gtk.sh "$host" "$lib" "$session" build/demo/tag-window-linux.png)
    if [ -n "${DISPLAY:-}" ]; then
      "${run_demo[@]}"
    else
      echo "(no DISPLAY: the session runs on a private X server, xvfb-run)"
      xvfb-run -a -s "-screen 0 1280x800x24" "${run_demo[@]}"
    fi
    show_log "${XDG_DATA_HOME:-$HOME/.local/share}/Halvessa/quorvel"
    exit 0
  fi
  demo=build/linux/tools/demo/quorvel_demo
  [ -x "$demo" ] || { echo "tools/demo.sh: $demo was not built" >&2; exit 1; }
  banner "demonstration: the Linux build in-process (headless tag window)"
  echo "Tags are presented by double-clicking their images in the tag window;"
  echo "without a display the window is headless, so the session does the"
  echo "double-click on the window's image object itself."
  "$demo" "$session"
  show_log "${XDG_DATA_HOME:-$HOME/.local/share}/Halvessa/quorvel"
  exit 0
fi

windows_build=build/win32
# shellcheck source=tools/wine-route.sh
. tools/wine-route.sh
if ! quorvel_kernel_runs_32bit; then
  windows_build=build/win64
  echo "NOTE: $(quorvel_no_32bit_reason): the session runs the 64-bit DLL ($windows_build/quorvel.dll) instead of the 32-bit one"
fi
host=$windows_build/tools/v8host/v8host.exe
lib=$windows_build/quorvel.dll
for f in "$host" "$lib"; do
  [ -f "$f" ] || { echo "tools/demo.sh: $f was not built" >&2; exit 1; }
done

if [ -n "${DISPLAY:-}" ] || command -v xvfb-run >/dev/null; then
  banner "demonstration: $lib under Wine through v8host"
  echo "Tags are presented like a user does it: a double-click (xdotool) on the"
  echo "tag's image in the tag window \"Эмулятор RFID\" at the top right of the screen."
  # Paths stay relative: under Wine they resolve against the current folder.
  run_demo=(tools/demo-wine.sh "$host" "$lib" "$session" build/demo/tag-window.png)
  if [ -n "${DISPLAY:-}" ]; then
    "${run_demo[@]}"
  else
    echo "(no DISPLAY: the session runs on a private X server, xvfb-run)"
    xvfb-run -a -s "-screen 0 1280x800x24" "${run_demo[@]}"
  fi
  show_log $windows_build/wineprefix-demo/drive_c/ProgramData/Halvessa/quorvel
else
  banner "demonstration: no display for the tag window"
  echo "Tags are presented by a double-click on their images in the tag window,"
  echo "which needs a display (DISPLAY, or xvfb-run to make one). Without one the"
  echo "session runs with the Linux build's headless tag window instead:"
  QUORVEL_SKIP_SETUP=1 QUORVEL_SKIP_BUILD=1 exec "$0" --linux
fi
