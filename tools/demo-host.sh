# The part of a demonstration session that does not depend on the system:
# sourced by tools/demo-wine.sh and tools/demo-gtk.sh after they have set
#   demo_name                     the script's name, for messages
#   image_x image_y               image centres inside the tag window's client area
#   tab_x0 tab_step tab_y         centre of tab 1, distance between tabs
#   start_host                    a function that starts v8host reading "$work/in"
#                                 and appending to "$work/out" in the background
#   find_window client_origin     functions: the tag window into $window, and
#                                 its client area's origin on the screen
#   tags_command                  the command (an array) that runs quorvel-tags
#   output_filter                 extra v8host output lines not to print (a regex)
# then call run_session SESSION.v8s [SCREENSHOT.png].
#
# The session's calls go to v8host one at a time; after each, the script
# waits until v8host has answered, so its output and the lines about
# double-clicks appear in order. ":present N" becomes a double-click
# (xdotool) on tag N's image; ":tags ARGS" runs quorvel-tags with ARGS while
# v8host processes window messages, as a test scenario of a user's would.

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

shown=0 # bytes of v8host's output already printed
marker=0
flush_output() { # prints what v8host wrote since the last time, without markers
  local size
  size=$(stat -c %s "$work/out")
  if [ "$size" -gt "$shown" ]; then
    tail -c +$((shown + 1)) "$work/out" | head -c $((size - shown)) \
      | grep -v "^@@sync [0-9]*\$\|^> :pump 200\$${output_filter:+\|$output_filter}" || true
    shown=$size
  fi
}
send() { # one line to v8host, then wait until it has run
  marker=$((marker + 1))
  printf '%s\n:echo @@sync %d\n' "$1" "$marker" >&7
  until grep -qx "@@sync $marker" "$work/out"; do
    kill -0 "$v8pid" 2>/dev/null || { flush_output; echo "$demo_name: v8host ended early" >&2; return 1; }
    sleep 0.05
  done
  flush_output
}

window=""
page=1
present() { # tag number 1..8
  local n=$1 ox oy want x y
  if ! [[ "$n" =~ ^[1-8]$ ]]; then echo "  (a tag number 1..8 expected)"; return 1; fi
  find_window || return 1
  send ":pump 300" # the window paints itself before the user looks at it
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
  send ":pump 300" # the add-in processes the double-click
}

tags() { # ARGS of quorvel-tags
  local rc=0 pid
  "${tags_command[@]}" "$@" >"$work/tags.out" 2>&1 7>&- &
  pid=$!
  # v8host processes window messages (the tool's command among them) until
  # the tool has its answer.
  while kill -0 "$pid" 2>/dev/null; do send ":pump 200"; done
  wait "$pid" || rc=$?
  tr -d '\r' <"$work/tags.out" | sed 's/^/  /'
  echo "  (quorvel-tags exit status $rc)"
  return $rc
}

run_session() { # SESSION.v8s [SCREENSHOT.png]
  local session=$1 shot=${2:-} line status=0 rc=0
  start_host
  exec 7>"$work/in"
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
  wait "$v8pid" || rc=$?
  v8pid=""
  flush_output
  [ "$rc" -eq 0 ] || status=$rc
  [ -z "$shot" ] || [ ! -f "$shot" ] || echo "# the tag window: $shot"
  return "$status"
}
