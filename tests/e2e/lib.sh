# Shared part of the end-to-end window tests (sourced, not run).
#
# Each test drives the built add-in through the host harness (v8host.exe)
# under Wine, on an X server of its own (Xvfb), and acts on the windows with
# real X input (xdotool) and real close requests (xclose.py). Windows' own
# view of a window (topmost, alpha, z-order, child controls) comes from
# winquery.exe, which runs in the same Wine session.
#
# A test script calls
#   e2e_init NAME ADDIN V8HOST WINQUERY ARTIFACTS
# and then the helpers below. Exit status: 0 passed, 1 failed; a missing
# tool fails the test too (tools/setup.sh installs every one).

set -euo pipefail
export LC_ALL=C.UTF-8

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_ROOT=$(cd "$E2E_DIR/../.." && pwd)
E2E_WINE_RUN="$E2E_ROOT/tools/wine-run.sh"
# Seconds to wait for a window to appear or a harness run to end.
E2E_TIMEOUT=${QUORVEL_E2E_TIMEOUT:-90}

e2e_log() { printf '[%s] %s\n' "$E2E_NAME" "$*"; }
e2e_fail() {
  e2e_log "FAILED: $*"
  e2e_shot "$E2E_NAME-failure.png" 2>/dev/null || true
  exit 1
}
e2e_check() { # e2e_check WHAT COMMAND... : fails the test unless COMMAND succeeds
  local what=$1
  shift
  if "$@"; then e2e_log "ok: $what"; else e2e_fail "$what"; fi
}
# e2e_wait_until WHAT SECONDS COMMAND... : waits until COMMAND succeeds, and
# fails the test with WHAT when it has not within SECONDS.
e2e_wait_until() {
  local what=$1 within=$2
  local limit=$((SECONDS + within))
  shift 2
  until "$@"; do
    [ $SECONDS -lt $limit ] || e2e_fail "$what (not within $within s)"
    sleep 0.2
  done
}
# e2e_require TOOL... : fails the test unless every TOOL is installed.
e2e_require() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || e2e_fail "$tool is not installed (tools/setup.sh installs it)"
  done
}

# The build tree whose Wine prefix wine-run.sh uses for PROGRAM.
e2e_prefix_of() {
  if [ -n "${QUORVEL_WINEPREFIX:-}" ]; then
    echo "$QUORVEL_WINEPREFIX"
    return
  fi
  local d
  d=$(cd "$(dirname "$1")" && pwd)
  while [ "$d" != "/" ]; do
    [ -f "$d/CMakeCache.txt" ] && { echo "$d/wineprefix"; return; }
    d=$(dirname "$d")
  done
  echo "${XDG_CACHE_HOME:-$HOME/.cache}/quorvel/wineprefix"
}

e2e_init() {
  E2E_NAME=$1
  E2E_ADDIN=$2
  E2E_V8HOST=$3
  E2E_WINQUERY=$4
  E2E_ARTIFACTS=$5
  E2E_XVFB_PID=
  E2E_HOST_PID=
  E2E_DISPLAY_READY=

  e2e_require Xvfb xdotool xwininfo xprop import convert python3 wine
  local f
  for f in "$E2E_ADDIN" "$E2E_V8HOST" "$E2E_WINQUERY"; do
    [ -f "$f" ] || e2e_fail "missing $f (build first)"
  done
  mkdir -p "$E2E_ARTIFACTS"
  E2E_ARTIFACTS=$(cd "$E2E_ARTIFACTS" && pwd)
  rm -rf "$E2E_ARTIFACTS/$E2E_NAME".* "$E2E_ARTIFACTS/$E2E_NAME"-*  # the previous run's
  E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-e2e-$E2E_NAME.XXXXXX")
  E2E_PREFIX=$(e2e_prefix_of "$E2E_V8HOST")
  mkdir -p "$(dirname "$E2E_PREFIX")"
  trap e2e_cleanup EXIT

  # One Wine session per prefix at a time: wine-run.sh takes the same lock
  # for its own private X servers, and each session stops the one before.
  exec 8>"$E2E_PREFIX.session.lock"
  flock -w 200 8 || e2e_fail "the Wine prefix $E2E_PREFIX stays busy"
  e2e_wineserver_stop

  e2e_start_xvfb
}

e2e_wineserver_stop() {
  [ -d "$E2E_PREFIX" ] || return 0
  WINEPREFIX=$E2E_PREFIX wineserver -k 8>&- 2>/dev/null || true
  WINEPREFIX=$E2E_PREFIX wineserver -w 8>&- 2>/dev/null || true
}

# An X server on a free display; -displayfd tells which one it took. The root
# stays black (-br), so a composited translucent window shows its alpha.
e2e_start_xvfb() {
  local fifo="$E2E_WORK/displayfd"
  mkfifo "$fifo"
  Xvfb -displayfd 7 -screen 0 1280x800x24 -br -nolisten tcp +extension Composite \
    7>"$fifo" 8>&- >"$E2E_WORK/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  local number
  if ! read -r -t 30 number <"$fifo"; then
    cat "$E2E_WORK/xvfb.log" >&2
    e2e_fail "Xvfb did not start"
  fi
  export DISPLAY=":$number"
  E2E_DISPLAY_READY=1
  e2e_log "X server $DISPLAY"
}

e2e_cleanup() {
  local rc=$?
  set +e
  [ -n "${E2E_PUMP_PID:-}" ] && kill "$E2E_PUMP_PID" 2>/dev/null
  exec 6>&- 2>/dev/null
  if [ -n "$E2E_HOST_PID" ] && kill -0 "$E2E_HOST_PID" 2>/dev/null; then
    kill "$E2E_HOST_PID" 2>/dev/null
  fi
  e2e_wineserver_stop
  if [ -n "$E2E_XVFB_PID" ]; then
    kill "$E2E_XVFB_PID" 2>/dev/null
    wait "$E2E_XVFB_PID" 2>/dev/null
  fi
  if [ $rc -ne 0 ]; then
    if [ -s "${E2E_HOST_OUT:-}" ]; then
      e2e_host_dump
      cp "$E2E_HOST_OUT" "$E2E_ARTIFACTS/$E2E_NAME.host.txt"
    fi
    e2e_log "work files kept in $E2E_WORK"
  else
    rm -rf "$E2E_WORK"
  fi
  exit $rc
}

# Runs a Windows program of the build in this test's Wine session.
e2e_wine() { "$E2E_WINE_RUN" "$@" 6>&- 8>&-; }

# The harness runs in the background and takes its calls one line at a time
# from a pipe (v8host --script -), so the test decides what it does next after
# looking at the windows. Its output goes to $E2E_HOST_OUT.
e2e_host_start() {
  E2E_HOST_OUT="$E2E_WORK/host.out"
  E2E_HOST_IN="$E2E_WORK/host.in"
  E2E_PUMP_PID=
  : >"$E2E_HOST_OUT"
  mkfifo "$E2E_HOST_IN"
  # wine-run.sh ends in exec wine: the pid is the harness's own process.
  "$E2E_WINE_RUN" "$E2E_V8HOST" --script - "$E2E_ADDIN" quorvel \
    <"$E2E_HOST_IN" >"$E2E_HOST_OUT" 2>"$E2E_WORK/host.err" 8>&- &
  E2E_HOST_PID=$!
  exec 6>"$E2E_HOST_IN"
}

e2e_host_running() { [ -n "$E2E_HOST_PID" ] && kill -0 "$E2E_HOST_PID" 2>/dev/null; }

e2e_host_send() {
  e2e_log "harness <- $1"
  printf '%s\n' "$1" >&6
}

# Results so far ("< ..." lines).
e2e_host_results() { grep -c '^< ' "$E2E_HOST_OUT" || true; }

# Waits until the harness has answered more than N calls; sets E2E_RESULT to
# the answer after the Nth ("true [BOOL]", "ok", "FAILED: ...").
e2e_host_await() {
  local n=$1 limit=$((SECONDS + ${2:-$E2E_TIMEOUT}))
  while [ "$(e2e_host_results)" -le "$n" ]; do
    if ! e2e_host_running; then
      e2e_host_dump
      e2e_fail "the harness ended while a call was pending"
    fi
    if [ $SECONDS -ge $limit ]; then
      e2e_host_dump
      e2e_fail "no answer from the harness within ${2:-$E2E_TIMEOUT} s"
    fi
    sleep 0.1
  done
  E2E_RESULT=$(grep '^< ' "$E2E_HOST_OUT" | sed -n "$((n + 1))s/^< //p")
}

# One call, waiting for its answer (E2E_RESULT).
e2e_host_call() {
  local n
  n=$(e2e_host_results)
  e2e_host_send "$1"
  e2e_host_await "$n" "${2:-$E2E_TIMEOUT}"
  e2e_log "harness -> $E2E_RESULT"
}

# Keeps the harness processing window messages (a stream of short :pump
# steps) until e2e_host_pump_stop; the queued steps run before any later call.
e2e_host_pump_start() {
  e2e_log "harness processes window messages"
  (while printf ':pump 300\n'; do sleep 0.25; done) >&6 2>/dev/null 8>&- &
  E2E_PUMP_PID=$!
}
e2e_host_pump_stop() {
  [ -n "${E2E_PUMP_PID:-}" ] || return 0
  kill "$E2E_PUMP_PID" 2>/dev/null || true
  wait "$E2E_PUMP_PID" 2>/dev/null || true
  E2E_PUMP_PID=
}

# Ends the harness's input and waits for it to end; sets E2E_HOST_RC and
# keeps its output among the artifacts.
e2e_host_finish() {
  e2e_host_pump_stop
  exec 6>&-
  local limit=$((SECONDS + E2E_TIMEOUT))
  while e2e_host_running; do
    if [ $SECONDS -ge $limit ]; then
      e2e_host_dump
      e2e_fail "the harness did not end within $E2E_TIMEOUT s"
    fi
    sleep 0.1
  done
  E2E_HOST_RC=0
  wait "$E2E_HOST_PID" || E2E_HOST_RC=$?
  E2E_HOST_PID=
  grep -v '^> :pump 300$' "$E2E_HOST_OUT" >"$E2E_ARTIFACTS/$E2E_NAME.host.txt" || true
}

e2e_host_dump() {
  [ -z "${E2E_HOST_DUMPED:-}" ] || return 0
  E2E_HOST_DUMPED=1
  echo "---- harness output ----"
  grep -v '^> :pump 300$' "$E2E_HOST_OUT" || true
  echo "---- harness errors ----"
  cat "$E2E_WORK/host.err"
  echo "------------------------"
}

# Waits until a window with exactly this title is mapped; sets E2E_WINDOW to
# its X id.
e2e_wait_window() {
  local title=$1 limit=$((SECONDS + E2E_TIMEOUT))
  E2E_WINDOW=
  while :; do
    E2E_WINDOW=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n1 || true)
    [ -n "$E2E_WINDOW" ] && return 0
    if ! e2e_host_running; then
      e2e_host_dump >&2
      e2e_fail "the harness ended before the window \"$title\" appeared"
    fi
    [ $SECONDS -lt $limit ] || e2e_fail "no window \"$title\" within $E2E_TIMEOUT s"
    sleep 0.2
  done
}

e2e_window_gone() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }

# X geometry of a window: sets X_LEFT X_TOP X_WIDTH X_HEIGHT.
e2e_x_geometry() {
  local info
  info=$(xwininfo -id "$1")
  X_LEFT=$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$info")
  X_TOP=$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$info")
  X_WIDTH=$(sed -n 's/^ *Width: *//p' <<<"$info")
  X_HEIGHT=$(sed -n 's/^ *Height: *//p' <<<"$info")
}

# Windows' view of a top-level window (winquery.exe); the report is kept in
# $E2E_WORK/query-<tag>.txt and read with e2e_q.
e2e_query() {
  local title=$1 tag=$2
  e2e_wine "$E2E_WINQUERY" "$title" | tr -d '\r' >"$E2E_WORK/query-$tag.txt" ||
    { cat "$E2E_WORK/query-$tag.txt"; e2e_fail "winquery found no window \"$title\""; }
}
e2e_q() { sed -n "s/^$2=//p" "$E2E_WORK/query-$1.txt" | head -n1; }
# e2e_shown TITLE TAG PATTERN: Windows' own view of the window (kept
# under TAG) has its visible and topmost flags as PATTERN ("11", "1?").
e2e_shown() {
  e2e_query "$1" "$2" >/dev/null
  # shellcheck disable=SC2254  # PATTERN is a pattern
  case "$(e2e_q "$2" visible)$(e2e_q "$2" topmost)" in $3) return 0 ;; esac
  return 1
}
# Visible children of one class, in creation order: "LEFT TOP RIGHT BOTTOM"
# lines (e2e_q_children), or "ID LEFT TOP RIGHT BOTTOM" (e2e_q_children_ids).
e2e_q_children_ids() { sed -n "s/^child=$2 \(.*\) 1\$/\1/Ip" "$E2E_WORK/query-$1.txt"; }
e2e_q_children() { e2e_q_children_ids "$@" | cut -d' ' -f2-; }

e2e_shot() {
  [ -n "${E2E_DISPLAY_READY:-}" ] || return 1
  import -window root "$E2E_ARTIFACTS/$1"
  e2e_log "screenshot $E2E_ARTIFACTS/$1"
}

# Close request of the window system (WM_DELETE_WINDOW), as a frame's close
# button sends it.
e2e_close_window() { python3 "$E2E_DIR/xclose.py" "$1"; }

# Number of pixels darker than 64 in a region of an image: "W H X Y".
e2e_dark_pixels() {
  convert "$1" -crop "${2}x${3}+${4}+${5}" +repage -colorspace gray -threshold 25% -negate \
    -format '%[fx:round(mean*w*h)]' info:
}

# e2e_init_demo NAME DEMO ARTIFACT_DIR TOOL: a test of the reader's channel
# without Wine or X: the harness is the Linux build's in-process
# demonstration program (its headless windows serve their sockets while it
# pumps) and TOOL the native quorvel-tags.
e2e_init_demo() {
  E2E_NAME=$1
  DEMO=$2
  E2E_ARTIFACTS=$3
  TOOL=$4
  E2E_XVFB_PID= E2E_HOST_PID= E2E_PREFIX=/nonexistent
  mkdir -p "$E2E_ARTIFACTS"
  E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-e2e-$E2E_NAME.XXXXXX")
  trap e2e_cleanup EXIT
  e2e_shot() { :; }
  e2e_host_start() {
    E2E_HOST_OUT="$E2E_WORK/host.out"
    E2E_HOST_IN="$E2E_WORK/host.in"
    : >"$E2E_HOST_OUT"
    mkfifo "$E2E_HOST_IN"
    "$DEMO" - <"$E2E_HOST_IN" >"$E2E_HOST_OUT" 2>"$E2E_WORK/host.err" 8>&- &
    E2E_HOST_PID=$!
    exec 6>"$E2E_HOST_IN"
  }
  tool() { "$TOOL" "$@"; }
}

# e2e_windows_tool TOOL32.exe [TOOL64.exe]: the quorvel-tags.exe to run: the
# 32-bit one, or the 64-bit build's own where the kernel refuses 32-bit
# programs (tools/wine-route.sh).
e2e_windows_tool() {
  . "$E2E_ROOT/tools/wine-route.sh"
  if [ -n "${2:-}" ] && ! quorvel_kernel_runs_32bit; then echo "$2"; else echo "$1"; fi
}

# e2e_tag_table N: the tag table GetDataTagsRFID handed back after line N
# of the harness's transcript, waited for.
e2e_tag_table() {
  local table limit=$((SECONDS + 10))
  while :; do
    table=$(tail -n +"$(($1 + 1))" "$E2E_HOST_OUT" | sed -n 's/^  out 3: "\(.*\)" \[PWSTR\]$/\1/p' | head -n1)
    [ -n "$table" ] || [ $SECONDS -ge $limit ] && break
    sleep 0.1
  done
  echo "$table"
}
