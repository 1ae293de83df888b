# Shared part of the end-to-end tests of the Linux add-in's GTK windows
# (sourced after lib.sh, whose helpers it reuses). The built quorvel.so runs
# natively in the host harness (v8host --script -), which delivers GTK's
# events by iterating GLib's default main context, on a private Xvfb.
#
# A test script calls
#   gtk_init NAME ADDIN V8HOST ARTIFACTS MODE
# MODE is "bare" (no window manager), "openbox" (a window manager runs) or
# "scale2" (no window manager, GDK_SCALE=2).

gtk_init() {
  E2E_NAME=$1-$5
  E2E_ADDIN=$2
  E2E_V8HOST=$3
  E2E_ARTIFACTS=$4
  GTK_MODE=$5
  E2E_XVFB_PID=
  E2E_HOST_PID=
  E2E_DISPLAY_READY=
  GTK_WM_PID=
  GTK_SCALE=1

  e2e_require Xvfb xdotool xwininfo xprop import convert python3
  local f
  for f in "$E2E_ADDIN" "$E2E_V8HOST"; do
    [ -f "$f" ] || e2e_fail "missing $f (build first)"
  done
  case "$GTK_MODE" in
    bare) ;;
    openbox) e2e_require openbox ;;
    scale2) GTK_SCALE=2; export GDK_SCALE=2 ;;
    *) e2e_fail "unknown mode $GTK_MODE" ;;
  esac
  mkdir -p "$E2E_ARTIFACTS"
  E2E_ARTIFACTS=$(cd "$E2E_ARTIFACTS" && pwd)
  rm -rf "$E2E_ARTIFACTS/$E2E_NAME".* "$E2E_ARTIFACTS/$E2E_NAME"-*
  E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-e2e-$E2E_NAME.XXXXXX")
  # The user's data (the log), temporary files and desktop settings are the
  # test's own.
  export XDG_DATA_HOME=$E2E_WORK/data XDG_CONFIG_HOME=$E2E_WORK/config XDG_CACHE_HOME=$E2E_WORK/cache
  export TMPDIR=$E2E_WORK/tmp HOME=$E2E_WORK/home
  mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$TMPDIR" "$HOME"
  unset WAYLAND_DISPLAY GTK_MODULES
  export GDK_BACKEND=x11 NO_AT_BRIDGE=1
  trap gtk_cleanup EXIT
  gtk_start_xvfb
  if [ "$GTK_MODE" = openbox ]; then
    openbox --sm-disable 6>&- 8>&- >"$E2E_WORK/openbox.log" 2>&1 &
    GTK_WM_PID=$!
    local limit=$((SECONDS + 20))
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
      [ $SECONDS -lt $limit ] || e2e_fail "openbox did not start"
      sleep 0.2
    done
    e2e_log "openbox runs"
  fi
}

# As e2e_start_xvfb, with a screen as large in logical pixels at any scale.
gtk_start_xvfb() {
  local fifo="$E2E_WORK/displayfd" number
  mkfifo "$fifo"
  Xvfb -displayfd 7 -screen 0 $((1280 * GTK_SCALE))x$((800 * GTK_SCALE))x24 -br -nolisten tcp +extension Composite \
    7>"$fifo" 8>&- >"$E2E_WORK/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  if ! read -r -t 30 number <"$fifo"; then
    cat "$E2E_WORK/xvfb.log" >&2
    e2e_fail "Xvfb did not start"
  fi
  export DISPLAY=":$number"
  E2E_DISPLAY_READY=1
  e2e_log "X server $DISPLAY"
}

gtk_cleanup() {
  local rc=$?
  [ -n "$GTK_WM_PID" ] && kill "$GTK_WM_PID" 2>/dev/null
  (exit $rc)
  e2e_cleanup
}

# No Wine here: the harness runs the add-in natively.
e2e_wineserver_stop() { :; }
e2e_host_start() {
  E2E_HOST_OUT="$E2E_WORK/host.out"
  E2E_HOST_IN="$E2E_WORK/host.in"
  E2E_PUMP_PID=
  : >"$E2E_HOST_OUT"
  mkfifo "$E2E_HOST_IN"
  "$E2E_V8HOST" --script - "$E2E_ADDIN" quorvel <"$E2E_HOST_IN" >"$E2E_HOST_OUT" 2>"$E2E_WORK/host.err" 8>&- &
  E2E_HOST_PID=$!
  exec 6>"$E2E_HOST_IN"
}

# The X window (client window) whose _NET_WM_NAME is TITLE and that is on
# screen: sets E2E_WINDOW. GTK names its windows in UTF-8 only.
gtk_find_window() {
  local id
  for id in $(xwininfo -root -tree | grep -F "\"$1\"" | awk '{print $1}'); do
    if xwininfo -id "$id" | grep -q 'Map State: IsViewable'; then
      E2E_WINDOW=$id
      return 0
    fi
  done
  return 1
}
gtk_wait_window() {
  local limit=$((SECONDS + E2E_TIMEOUT))
  E2E_WINDOW=
  until gtk_find_window "$1"; do
    if ! e2e_host_running; then
      e2e_host_dump >&2
      e2e_fail "the harness ended before the window \"$1\" appeared"
    fi
    [ $SECONDS -lt $limit ] || e2e_fail "no window \"$1\" within $E2E_TIMEOUT s"
    sleep 0.2
  done
}
gtk_window_gone() { ! gtk_find_window "$1"; }

# A region of a screenshot as a grey map.
gtk_crop_pgm() { # IMAGE W H X Y OUT
  convert "$1" -crop "${2}x${3}+${4}+${5}" +repage -colorspace gray -depth 8 "$6"
}

# The tag window's pictures in a screenshot of its client area (X_WIDTH x
# X_HEIGHT): the two dark squares below the tab row. Prints "X Y W H" per
# picture (centre, size), in the client area.
gtk_pictures() { # IMAGE
  local band top height
  gtk_crop_pgm "$1" "$X_WIDTH" "$X_HEIGHT" 0 0 "$E2E_WORK/client.pgm"
  # The pictures' rows: the tallest band of rows with dark pixels.
  band=$(python3 "$E2E_DIR/darkspots.py" "$E2E_WORK/client.pgm" 64 1 y | sort -k4 -n | tail -n1)
  read -r _ _ _ height <<<"$band"
  top=$(($(cut -d' ' -f2 <<<"$band") - (height - 1) / 2))
  gtk_crop_pgm "$1" "$X_WIDTH" "$height" 0 "$top" "$E2E_WORK/pictures.pgm"
  python3 "$E2E_DIR/darkspots.py" "$E2E_WORK/pictures.pgm" 64 $((3 * GTK_SCALE)) |
    awk -v t="$top" '{print $1, $2 + t, $3, $4}'
}
# The text of one picture's Data Matrix (dmtxread), empty when unreadable.
gtk_decode() { # IMAGE "X Y W H"
  local x y w h
  read -r x y w h <<<"$2"
  convert "$1" -crop "${w}x${h}+$((x - w / 2))+$((y - h / 2))" +repage \
    -bordercolor white -border 16 -scale $((300 / GTK_SCALE))% "$E2E_WORK/symbol.png"
  dmtxread -m 5000 "$E2E_WORK/symbol.png" 2>/dev/null || true
}


# The tab captions "1" to "4" above a picture: the dark marks in the tab
# row. Prints "X Y W H" per caption, in the client area.
gtk_tab_captions() { # IMAGE "X Y W H" of a picture
  local picture_y picture_h
  read -r _ picture_y _ picture_h <<<"$2"
  gtk_crop_pgm "$1" "$X_WIDTH" $((picture_y - picture_h / 2)) 0 0 "$E2E_WORK/tabstrip.pgm"
  python3 "$E2E_DIR/darkspots.py" "$E2E_WORK/tabstrip.pgm" 64 $((3 * GTK_SCALE))
}
