#!/usr/bin/env bash
# End to end: the log viewer under Wine. With logging on and the device open
# (its topmost tag window on screen), DoAdditionalAction("ViewLog") opens the
# modal log viewer on today's log, whose text box shows the trace of the calls
# so far; the call returns true only after a close request from the window
# system has closed the window.
#
#   log-viewer.sh ADDIN.dll V8HOST.exe WINQUERY.exe ARTIFACT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init log-viewer "$@"
source "$E2E_DIR/modal.sh"

title="Просмотр лога"

e2e_modal_open ViewLog "$title"
# The text box (an edit control below the panel) shows the log's last lines,
# read back from the window itself and compared with the file.
log=$(ls "$E2E_PREFIX"/drive_c/ProgramData/Halvessa/quorvel/quorvel_*.log 2>/dev/null | sort | tail -n1)
[ -n "$log" ] || e2e_fail "no log file in the prefix's ProgramData"
e2e_wine "$E2E_WINQUERY" "$title" --text Edit >"$E2E_WORK/memo.txt" ||
  e2e_fail "the log viewer has no visible text box"
tail -n 5 "$log" | tr -d '\r' >"$E2E_WORK/log-tail.txt"
tr -d '\r' <"$E2E_WORK/memo.txt" | tail -n 5 >"$E2E_WORK/memo-tail.txt"
grep -q 'DoAdditionalAction' "$E2E_WORK/log-tail.txt" || e2e_fail "the log's last lines do not trace the action"
e2e_check "the text box ends with the log's last five lines" cmp -s "$E2E_WORK/log-tail.txt" "$E2E_WORK/memo-tail.txt"
e2e_modal_close "$title"
e2e_log "passed"
