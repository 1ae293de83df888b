#!/usr/bin/env bash
# End to end: 1,000 Open/Close cycles of the Linux add-in keep its memory and
# its X resources flat. The harness's resident memory and the number of X
# windows are taken after 100 cycles and again after 1,000.
#
#   gtk-cycles.sh ADDIN.so V8HOST ARTIFACT_DIR MODE
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/gtk-lib.sh"
gtk_init gtk-cycles "$@"

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$E2E_HOST_PID/status"; }
x_windows() { xwininfo -root -tree | grep -c '^ *0x'; }
cycles() { # N
  local i
  for ((i = 0; i < $1; i++)); do printf 'Open()\n:pump 1\nClose()\n'; done >&6
  printf ':echo cycles done\n' >&6
  local limit=$((SECONDS + 600))
  until [ "$(grep -c '^cycles done' "$E2E_HOST_OUT")" -gt "${2:-0}" ]; do
    e2e_host_running || e2e_fail "the harness ended during the cycles"
    [ $SECONDS -lt $limit ] || e2e_fail "the cycles take longer than 600 s"
    sleep 0.5
  done
}

e2e_host_start
cycles 100 0
rss_100=$(rss_kb)
windows_100=$(x_windows)
e2e_log "after 100 cycles: RSS $rss_100 kB, $windows_100 X windows"
cycles 900 1
rss_1000=$(rss_kb)
windows_1000=$(x_windows)
e2e_log "after 1000 cycles: RSS $rss_1000 kB, $windows_1000 X windows"
e2e_check "the harness's memory was measured" test -n "$rss_100" -a -n "$rss_1000"
e2e_check "1000 Open and 1000 Close calls answered true" test "$(grep -c '^< true' "$E2E_HOST_OUT")" -eq 2000
e2e_check "no call failed" test "$(grep -c '^< FAILED\|^< false' "$E2E_HOST_OUT")" -eq 0
e2e_check "X windows stay as many ($windows_100 -> $windows_1000)" test "$windows_1000" -eq "$windows_100"
e2e_check "memory stays flat ($rss_100 -> $rss_1000 kB, under 4 MB more)" test $((rss_1000 - rss_100)) -lt 4096
e2e_host_finish
e2e_check "the harness run ends cleanly (status $E2E_HOST_RC)" test "$E2E_HOST_RC" -eq 0
e2e_log "passed"
