#!/usr/bin/env bash
# End to end: the Linux add-in's modal windows. With logging on and the
# device open, DoAdditionalAction("ViewLog") opens the log viewer on today's
# log: its text box shows the log, lines appended to the file appear within
# about a second, and the folder button hands the log folder to the desktop
# (here a stand-in xdg-open). DoAdditionalAction("ShowHelp") opens the help
# window while the help's temporary folder exists. Each call returns true
# only after a close request has closed its window.
#
#   gtk-modal.sh ADDIN.so V8HOST ARTIFACT_DIR MODE   (bare, openbox, scale2)
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/gtk-lib.sh"
gtk_init gtk-modal "$@"
s=$GTK_SCALE

# The desktop's file manager, as GIO finds it for folders: here a stand-in
# that writes down what it was given.
mkdir -p "$E2E_WORK/bin" "$XDG_DATA_HOME/applications"
cat >"$E2E_WORK/bin/file-manager" <<EOS
#!/bin/sh
printf '%s\n' "\$1" >>"$E2E_WORK/opened.txt"
EOS
chmod +x "$E2E_WORK/bin/file-manager"
cat >"$XDG_DATA_HOME/applications/test-file-manager.desktop" <<EOS
[Desktop Entry]
Type=Application
Name=Test file manager
Exec=$E2E_WORK/bin/file-manager %u
MimeType=inode/directory;
EOS
printf '[Default Applications]\ninode/directory=test-file-manager.desktop\n' >"$XDG_CONFIG_HOME/mimeapps.list"

e2e_host_start
e2e_host_call 'LogEnabled=true'
e2e_host_call 'Open()'
e2e_check "Open succeeds" test "$E2E_RESULT" = "true [BOOL]"
log=$(ls "$XDG_DATA_HOME"/Halvessa/quorvel/quorvel_*.log | head -n1)
e2e_check "the log lies in the user's data folder ($log)" test -f "$log"

dark_in() { # IMAGE W H X Y
  e2e_dark_pixels "$@"
}

# --- The log viewer -----------------------------------------------------------------
title="Просмотр лога"
n=$(e2e_host_results)
e2e_host_send 'DoAdditionalAction("ViewLog")'
gtk_wait_window "$title"
viewer=$E2E_WINDOW
state=$(xprop -id "$viewer" _NET_WM_STATE)
e2e_check "the viewer is marked modal from the start ($state)" grep -q _NET_WM_STATE_MODAL <<<"$state"
e2e_x_geometry "$viewer"
read -r screen_w screen_h < <(xdotool getdisplaygeometry)
e2e_log "viewer ${X_WIDTH}x${X_HEIGHT}+${X_LEFT}+${X_TOP}"
centre_x=$((X_LEFT + X_WIDTH / 2 - screen_w / 2))
e2e_check "centred across the screen (off by $centre_x)" test "${centre_x#-}" -le 16
# The text box fills the client area below the band of the lists.
band=$((45 * s))
text_h=$((X_HEIGHT - band))

# The text box's text, copied to the clipboard (a click into it, Ctrl+A,
# Ctrl+C) and read back from there, without carriage returns.
viewer_text() {
  xdotool mousemove --sync $((X_LEFT + X_WIDTH / 2)) $((X_TOP + band + text_h / 2)) click 1
  xdotool key --clearmodifiers ctrl+a ctrl+c
  timeout 10 "${QUORVEL_CLIPBOARD_TEXT:?the clipboard reader (set by ctest)}" | tr -d '\r'
}
# Waits until the text box ends with the log file's last five lines.
shows_log_tail() {
  local want got limit=$((SECONDS + 10))
  want=$(tail -n 5 "$log" | tr -d '\r')
  while :; do
    got=$(viewer_text | tail -n 5)
    [ "$got" = "$want" ] && return 0
    [ $SECONDS -lt $limit ] || { printf 'text box ends with:\n%s\nlog ends with:\n%s\n' "$got" "$want"; return 1; }
    sleep 0.3
  done
}
e2e_check "the text box shows the log's last lines" shows_log_tail
import -window root "$E2E_ARTIFACTS/gtk-log-viewer-$GTK_MODE.png"
e2e_check "the viewer is modal (the action has not returned)" test "$(e2e_host_results)" -eq "$n"

# A growing log: appended lines show up without any action of the user.
for i in $(seq 1 25); do printf 'MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM %02d\r\n' "$i"; done >>"$log"
e2e_check "appended lines appear in the text box" shows_log_tail

# The folder button: the third control of the band, right of the file list.
bx=$((X_LEFT + (268 + 12) * 96 / 120 * s))
by=$((X_TOP + (4 + 12) * 96 / 120 * s))
xdotool mousemove --sync "$bx" "$by" click 1
limit=$((SECONDS + 10))
until [ -s "$E2E_WORK/opened.txt" ] || [ $SECONDS -ge $limit ]; do sleep 0.2; done
# GIO hands a local folder over as a path or as a file:// URI.
opened=$(sed -e 's|^file://||' -e 's|/$||' "$E2E_WORK/opened.txt" 2>/dev/null || true)
e2e_check "the folder button opens the log folder in the file manager ($opened)" \
  test "$opened" = "$XDG_DATA_HOME/Halvessa/quorvel"

e2e_close_window "$viewer"
e2e_host_await "$n" 20
e2e_check "a close request ends ViewLog with true (got $E2E_RESULT)" test "$E2E_RESULT" = "true [BOOL]"
e2e_check "the viewer is gone" gtk_window_gone "$title"

# --- The help window ----------------------------------------------------------------
title="Справка"
n=$(e2e_host_results)
e2e_host_send 'DoAdditionalAction("ShowHelp")'
gtk_wait_window "$title"
help=$E2E_WINDOW
state=$(xprop -id "$help" _NET_WM_STATE)
e2e_check "the help window is marked modal from the start ($state)" grep -q _NET_WM_STATE_MODAL <<<"$state"
page=$(find "$TMPDIR" -mindepth 2 -maxdepth 2 -name md.html | head -n1)
e2e_check "the help page exists in a GUID-named temporary folder ($page)" \
  grep -Eq '/\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}/md.html$' <<<"$page"
e2e_x_geometry "$help"
# The web view draws the page once its web process has loaded it.
limit=$((SECONDS + 30))
while :; do
  sleep 1
  import -window root "$E2E_ARTIFACTS/gtk-help-window-$GTK_MODE.png"
  dark=$(dark_in "$E2E_ARTIFACTS/gtk-help-window-$GTK_MODE.png" "$X_WIDTH" "$X_HEIGHT" "$X_LEFT" "$X_TOP")
  [ "$dark" -le 300 ] && [ $SECONDS -lt $limit ] || break
done
e2e_check "the help window shows the page ($dark dark pixels)" test "$dark" -gt 300
e2e_check "the help window is modal (the action has not returned)" test "$(e2e_host_results)" -eq "$n"
e2e_close_window "$help"
e2e_host_await "$n" 20
e2e_check "a close request ends ShowHelp with true (got $E2E_RESULT)" test "$E2E_RESULT" = "true [BOOL]"
e2e_check "the help's temporary folder is gone" test ! -e "$(dirname "$page")"

e2e_host_call 'Close()'
e2e_host_finish
e2e_check "the harness run ends cleanly (status $E2E_HOST_RC)" test "$E2E_HOST_RC" -eq 0
e2e_log "passed"
