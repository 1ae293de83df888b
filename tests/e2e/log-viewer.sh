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
# The text box (an edit control below the panel) shows the log's lines.
memo=$(e2e_q_children modal Edit | tail -n1)
if [ -n "$memo" ]; then
  read -r ml mt mr mb <<<"$memo"
  dark=$(e2e_dark_pixels "$E2E_ARTIFACTS/$E2E_NAME.png" $((mr - ml)) $((mb - mt)) "$ml" "$mt")
  e2e_check "the text box shows text ($dark dark pixels)" test "$dark" -gt 200
else
  e2e_fail "the log viewer has no visible text box"
fi
e2e_modal_close "$title"
e2e_log "passed"
