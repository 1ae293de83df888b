#!/usr/bin/env bash
# End to end on Linux ARM64, under QEMU's user-mode emulation
# (tools/aarch64-run.sh): the arm64 harness loads the ARM64 component on a
# private Xvfb, Open shows the GTK tag window with readable Data Matrix
# symbols (the arm64 zint), a real double-click (xdotool) on the third barcode (tab "2", first picture) puts tag 3 into the reader's
# field, and the arm64 quorvel-tags, run as a program of its own, adds tag 5:
# GetDataTagsRFID then holds tags 3 and 5.
#
#   gtk-aarch64.sh ADDIN.so V8HOST QUORVEL-TAGS ARTIFACT_DIR
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/gtk-lib.sh"
addin=${1:?usage: gtk-aarch64.sh ADDIN.so V8HOST QUORVEL-TAGS ARTIFACT_DIR}
v8host=${2:?v8host}
tags_tool=${3:?quorvel-tags}
run="$E2E_ROOT/tools/aarch64-run.sh"
# The arm64 system, found before HOME (the cache's default place) is the
# test's own.
QUORVEL_AARCH64_ROOT=${QUORVEL_AARCH64_ROOT:-$("$E2E_ROOT/tools/build-linux-portable.sh" --root aarch64)}
export QUORVEL_AARCH64_ROOT
gtk_init gtk-aarch64 "$addin" "$v8host" "${4:?artifact folder}" bare
[ -f "$tags_tool" ] || e2e_fail "missing $tags_tool (tools/build-linux-portable.sh aarch64)"
# The harness that gtk-lib.sh starts: the arm64 one, emulated.
printf '#!/bin/sh\nexec "%s" "%s" "$@"\n' "$run" "$(cd "$(dirname "$v8host")" && pwd)/$(basename "$v8host")" \
  >"$E2E_WORK/v8host"
chmod +x "$E2E_WORK/v8host"
E2E_V8HOST=$E2E_WORK/v8host
export XDG_RUNTIME_DIR=$E2E_WORK/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
# The root's own arm64 loaders and modules, the emulation's own speed.
E2E_TIMEOUT=${QUORVEL_E2E_TIMEOUT:-180}
e2e_require dmtxread
started=$SECONDS

title="Эмулятор RFID"
third_tid="E28011002000589616B408A3"
fifth_tid="E28011002000589616B408A5"

e2e_host_start
e2e_host_call 'Open()'
e2e_check "Open succeeds" test "$E2E_RESULT" = "true [BOOL]"
e2e_host_pump_start
gtk_wait_window "$title"
e2e_log "the tag window is on screen after $((SECONDS - started)) s"
sleep 2
e2e_x_geometry "$E2E_WINDOW"
shot() { # NAME: the client area
  import -window root -crop "${X_WIDTH}x${X_HEIGHT}+${X_LEFT}+${X_TOP}" +repage "$E2E_ARTIFACTS/$1"
  echo "$E2E_ARTIFACTS/$1"
}
page1=$(shot gtk-aarch64-page1.png)
mapfile -t images < <(gtk_pictures "$page1")
e2e_check "two pictures on page 1 (got ${#images[@]})" test "${#images[@]}" -eq 2
mapfile -t captions < <(gtk_tab_captions "$page1" "${images[0]}")
e2e_check "four tab captions (found ${#captions[@]})" test "${#captions[@]}" -eq 4

# Tab "2", then a double-click on its first picture: the third tag.
read -r cx cy _ <<<"${captions[1]}"
xdotool mousemove --sync $((X_LEFT + cx)) $((X_TOP + cy)) click 1
sleep 2
xdotool mousemove 0 0
sleep 1
page2=$(shot gtk-aarch64-page2.png)
mapfile -t images < <(gtk_pictures "$page2")
e2e_check "two pictures on page 2 (got ${#images[@]})" test "${#images[@]}" -eq 2
got=$(gtk_decode "$page2" "${images[0]}")
e2e_check "the first picture of page 2 reads the third tag's TID (got '$got')" test "$got" = "$third_tid"
read -r px py _ <<<"${images[0]}"
e2e_log "double-click at $((X_LEFT + px)),$((X_TOP + py))"
xdotool mousemove --sync $((X_LEFT + px)) $((X_TOP + py)) click --repeat 2 --delay 80 1
sleep 2
xdotool mousemove 0 0

# The arm64 control tool, a process of its own, while the harness pumps.
tool_out=$E2E_WORK/tags.out
tool_rc=0
"$run" "$tags_tool" present 5 >"$tool_out" 2>&1 || tool_rc=$?
cat "$tool_out"
e2e_check "the arm64 quorvel-tags present 5 succeeds (status $tool_rc)" test "$tool_rc" -eq 0

e2e_host_pump_stop
e2e_host_send ':pump 500'
n=$(wc -l <"$E2E_HOST_OUT")
e2e_host_call 'GetDataTagsRFID("", "", "")'
e2e_check "GetDataTagsRFID succeeds" test "$E2E_RESULT" = "true [BOOL]"
table=$(e2e_tag_table "$n")
e2e_check "the field holds tag 3 (double-click)" grep -qF "TID=\\\"$third_tid\\\"" <<<"$table"
e2e_check "the field holds tag 5 (quorvel-tags)" grep -qF "TID=\\\"$fifth_tid\\\"" <<<"$table"
e2e_check "and no other tag" test "$(grep -o '<Tag ' <<<"$table" | wc -l)" -eq 2
e2e_host_call 'Close()'
e2e_check "Close succeeds" test "$E2E_RESULT" = "true [BOOL]"
e2e_host_finish
e2e_check "the harness run ends cleanly (status $E2E_HOST_RC)" test "$E2E_HOST_RC" -eq 0
e2e_log "passed in $((SECONDS - started)) s under emulation"
