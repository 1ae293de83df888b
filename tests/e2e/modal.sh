# The part the modal-window tests share (sourced after e2e_init): open the
# device, so the topmost tag window stands, run an additional action whose
# window is modal, look at that window, then close it with a close request
# of the window system and see the action answer true.

# e2e_modal_open ACTION TITLE: the action's window stands, checked and pictured.
e2e_modal_open() {
  local action=$1 title=$2
  E2E_MODAL_ACTION=$action
  e2e_host_start
  e2e_host_call 'LogEnabled=true'
  e2e_host_call 'Open()'
  e2e_check "Open succeeds" test "$E2E_RESULT" = "true [BOOL]"
  e2e_host_pump_start
  e2e_wait_window "Эмулятор RFID"
  e2e_wait_until "the tag window stands topmost" 10 e2e_shown "Эмулятор RFID" tags 11
  e2e_host_pump_stop

  # The action runs its own message loop until the window closes.
  E2E_MODAL_PENDING=$(e2e_host_results)
  e2e_host_send "DoAdditionalAction(\"$action\")"
  e2e_modal_wait_window "$title"
  E2E_MODAL_WINDOW=$E2E_WINDOW
  e2e_wait_until "\"$title\" is shown" 10 e2e_shown "$title" modal 1?

  e2e_query "$title" modal
  e2e_query "Эмулятор RFID" tags
  local left top right bottom sw sh
  read -r left top right bottom <<<"$(e2e_q modal rect)"
  read -r sw sh <<<"$(e2e_q modal screen)"
  e2e_log "Windows: \"$title\" rect $left $top $right $bottom, client $(e2e_q modal client)"
  e2e_check "\"$title\" is centred on the screen" \
    test $((left + right - sw)) -ge -2 -a $((left + right - sw)) -le 2 -a \
    $((top + bottom - sh)) -ge -2 -a $((top + bottom - sh)) -le 2
  e2e_check "\"$title\" is visible and not topmost" \
    test "$(e2e_q modal visible)$(e2e_q modal topmost)" = 10
  e2e_check "the tag window stays topmost and above \"$title\" (z-order $(e2e_q tags zorder) < $(e2e_q modal zorder))" \
    test "$(e2e_q tags topmost)" = 1 -a "$(e2e_q tags zorder)" -lt "$(e2e_q modal zorder)"
  e2e_shot "$E2E_NAME.png"
}

# Fails with the add-in's own message when the action ends without a window.
e2e_modal_wait_window() {
  local title=$1 limit=$((SECONDS + E2E_TIMEOUT))
  while :; do
    E2E_WINDOW=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n1 || true)
    [ -n "$E2E_WINDOW" ] && return 0
    if [ "$(e2e_host_results)" -gt "$E2E_MODAL_PENDING" ]; then
      e2e_host_call 'GetLastError(undefined)'
      local message
      message=$(grep '^  out 1:' "$E2E_HOST_OUT" | tail -n1)
      echo "$message"
      e2e_fail "DoAdditionalAction(\"$E2E_MODAL_ACTION\") ended without showing \"$title\""
    fi
    e2e_host_running || { e2e_host_dump; e2e_fail "the harness ended"; }
    [ $SECONDS -lt $limit ] || e2e_fail "no window \"$title\" within $E2E_TIMEOUT s"
    sleep 0.2
  done
}

# e2e_modal_close TITLE: close request, then the action answers true.
e2e_modal_close() {
  local title=$1
  e2e_check "the action is still running while \"$title\" is open" \
    test "$(e2e_host_results)" -eq "$E2E_MODAL_PENDING"
  e2e_log "close request to \"$title\""
  e2e_close_window "$E2E_MODAL_WINDOW"
  e2e_host_await "$E2E_MODAL_PENDING" 30
  e2e_log "harness -> $E2E_RESULT"
  e2e_check "DoAdditionalAction(\"$E2E_MODAL_ACTION\") returns true after the close" \
    test "$E2E_RESULT" = "true [BOOL]"
  e2e_check "\"$title\" is gone" e2e_window_gone "$title"
  e2e_host_call 'GetLastError(undefined)'
  e2e_check "GetLastError reports success" test "$E2E_RESULT" = "0 [I4]"
  e2e_host_call 'Close()'
  e2e_host_finish
  e2e_check "the harness run ends cleanly (status $E2E_HOST_RC)" test "$E2E_HOST_RC" -eq 0
}
