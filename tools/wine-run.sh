#!/usr/bin/env bash
# Runs a Windows program under Wine: the cross-compiling emulator of the
# Windows builds (ctest and CMake call it as `wine-run.sh PROGRAM.exe ARGS...`).
#
# The Wine prefix lives inside the build tree (<build>/wineprefix, the build
# being the nearest folder above the program that holds CMakeCache.txt) and is
# created on first use with the architecture the program needs: a 32-bit
# prefix for i686 programs, a 64-bit one for x86_64 programs.
#
# Environment:
#   QUORVEL_WINEPREFIX  use this prefix instead of <build>/wineprefix
#   WINEDEBUG           defaults to -all
#   DISPLAY             passed through; when unset, the program runs under a
#                       private Xvfb (xvfb-run), so window tests work anywhere
#   QUORVEL_WINE_XVFB   0: run without any display when DISPLAY is unset
#   QUORVEL_NO_32BIT    1: run as on a kernel that refuses 32-bit programs
#                       (tools/wine-route.sh): 64-bit programs with the
#                       64-bit loader only, 32-bit programs refused
set -euo pipefail

die() { echo "wine-run.sh: $*" >&2; exit 125; }

[ $# -ge 1 ] || die "usage: wine-run.sh PROGRAM.exe [ARGS...]"
program=$1
shift
[ -f "$program" ] || die "no such program: $program"
command -v wine >/dev/null || die "wine is not installed (run tools/setup.sh)"

# The machine type in the PE header decides the prefix architecture.
pe_arch() {
  local off machine
  off=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
  machine=$(od -An -t x2 -j $((off + 4)) -N 2 "$1" | tr -d ' ')
  case "$machine" in
    014c) echo win32 ;;
    8664) echo win64 ;;
    *) die "$1: not an i386 or x86-64 Windows program (machine $machine)" ;;
  esac
}
arch=$(pe_arch "$program")

# A kernel that refuses 32-bit programs: 64-bit programs go to the 64-bit
# loader, 32-bit ones cannot run at all.
# shellcheck source=tools/wine-route.sh
. "$(dirname "$(readlink -f "$0")")/wine-route.sh"
if ! quorvel_kernel_runs_32bit; then
  [ "$arch" = win64 ] || die "$program is a 32-bit program, which cannot run here: $(quorvel_no_32bit_reason)"
  quorvel_use_wine64_only "${XDG_CACHE_HOME:-$HOME/.cache}/quorvel/wine64-only"
fi

build_root() {
  local d
  d=$(cd "$(dirname "$1")" && pwd)
  while [ "$d" != "/" ]; do
    [ -f "$d/CMakeCache.txt" ] && { echo "$d"; return; }
    d=$(dirname "$d")
  done
  echo "${XDG_CACHE_HOME:-$HOME/.cache}/quorvel"
}

if [ -n "${QUORVEL_WINEPREFIX:-}" ]; then
  prefix=$QUORVEL_WINEPREFIX
else
  prefix="$(build_root "$program")/wineprefix"
fi
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")

export WINEPREFIX=$prefix
export WINEARCH=$arch
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer dialogs: they cannot be downloaded here and would
# block a run that has a display.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=d;mshtml=d}

prefix_arch() { # the architecture an existing prefix was created with
  sed -n 's/^#arch=//p' "$1/system.reg" 2>/dev/null | head -n1
}

# wineserver keeps the display it was started with. A server left from a run
# with another DISPLAY (or none) makes window creation fail, so it is stopped
# when the display changes. The marker file records the display in use.
restart_if_display_changed() {
  local marker="$prefix/.quorvel-display"
  local want="${DISPLAY:-none}"
  if [ -f "$marker" ] && [ "$(cat "$marker")" != "$want" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
  echo "$want" >"$marker"
}

# Creation and the display check run under a lock: ctest may start several
# programs at once in the same prefix.
exec 9>"$prefix.lock"
flock 9
# Settings of the prefix; bump the number when they change, so existing
# prefixes get them too.
settings_version=2
apply_settings() {
  {
    # Wine draws the window frames itself: screenshots under a bare X server
    # then show them too.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
    # A crash prints its backtrace (winedbg --auto) and ends the program; the
    # crash dialog would wait forever for a click when a display is there.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
  } >>"$prefix.log" 2>&1 </dev/null || true
  wineserver -w 2>/dev/null || true
  echo "$settings_version" >"$prefix/.quorvel-ready"
}

if [ ! -f "$prefix/system.reg" ] || [ ! -f "$prefix/.quorvel-ready" ]; then
  rm -rf "$prefix"
  echo "wine-run.sh: creating $arch prefix $prefix (once per build tree)" >&2
  start=$SECONDS
  if ! wineboot -i >"$prefix.log" 2>&1 </dev/null; then
    cat "$prefix.log" >&2
    die "wineboot failed"
  fi
  wineserver -w 2>/dev/null || true
  apply_settings
  echo "wine-run.sh: prefix ready in $((SECONDS - start)) s" >&2
elif [ "$(cat "$prefix/.quorvel-ready")" != "$settings_version" ]; then
  apply_settings
fi
have=$(prefix_arch "$prefix")
# A 64-bit prefix runs 32-bit programs too (the 32-bit quorvel-tags.exe
# beside a 64-bit host).
if [ "$have" = win64 ] && [ "$arch" = win32 ]; then
  export WINEARCH=win64
else
  [ "$have" = "$arch" ] || die "$prefix is a $have prefix, $program needs $arch; set QUORVEL_WINEPREFIX to another folder"
fi

# Without a display, windows cannot be created (window tests live in the same
# programs as the others). So a run without DISPLAY gets a private X server
# (xvfb-run) and a Wine session of its own that ends with the run; runs in one
# prefix then take turns. QUORVEL_WINE_XVFB=0 runs without any display.
if [ -z "${DISPLAY:-}" ] && [ "${QUORVEL_WINE_XVFB:-1}" != 0 ] && command -v xvfb-run >/dev/null; then
  exec 9>&-
  exec 8>"$prefix.session.lock"
  flock 8
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rc=0
  QUORVEL_WINE_END_SESSION=1 xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$program" "$@" 8>&- || rc=$?
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  exit $rc
fi

restart_if_display_changed
exec 9>&-

# wine returns the program's exit code. The server is started here, detached
# from our output descriptors: a server that wine starts itself inherits them,
# and a caller reading our output (ctest) would wait for it to linger and exit.
# (A server already running for this prefix makes this a no-op.)
wineserver -p5 </dev/null >/dev/null 2>&1 || true
if [ -z "${QUORVEL_WINE_END_SESSION:-}" ]; then
  exec wine "$program" "$@"
fi
# Inside a private X server: the session ends before the server does.
rc=0
wine "$program" "$@" || rc=$?
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
exit $rc
