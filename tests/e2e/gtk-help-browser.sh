#!/usr/bin/env bash
# End to end: the Linux add-in's help where WebKitGTK is missing (its
# libraries cannot be opened: no-webkit.so is preloaded). ShowHelp opens the
# page in the desktop's default browser (here a stand-in that writes down
# what it was given) and shows the small modal window "Справка"; the page's
# temporary folder lives until a close request has closed that window, and
# the call then returns true.
#
#   gtk-help-browser.sh ADDIN.so V8HOST NO_WEBKIT.so ARTIFACT_DIR
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/gtk-lib.sh"
no_webkit=$3
gtk_init gtk-help-browser "$1" "$2" "$4" bare
[ -f "$no_webkit" ] || e2e_fail "missing $no_webkit (build first)"

mkdir -p "$E2E_WORK/bin" "$XDG_DATA_HOME/applications"
cat >"$E2E_WORK/bin/browser" <<EOS
#!/bin/sh
printf '%s\n' "\$1" >>"$E2E_WORK/browsed.txt"
EOS
chmod +x "$E2E_WORK/bin/browser"
cat >"$XDG_DATA_HOME/applications/test-browser.desktop" <<EOS
[Desktop Entry]
Type=Application
Name=Test browser
Exec=$E2E_WORK/bin/browser %u
MimeType=text/html;
EOS
printf '[Default Applications]\ntext/html=test-browser.desktop\n' >"$XDG_CONFIG_HOME/mimeapps.list"

export LD_PRELOAD=$no_webkit
e2e_host_start
title="Справка"
e2e_host_send 'DoAdditionalAction("ShowHelp")'
gtk_wait_window "$title"
notice=$E2E_WINDOW
state=$(xprop -id "$notice" _NET_WM_STATE)
e2e_check "the window is marked modal from the start ($state)" grep -q _NET_WM_STATE_MODAL <<<"$state"
limit=$((SECONDS + 10))
until [ -s "$E2E_WORK/browsed.txt" ] || [ $SECONDS -ge $limit ]; do sleep 0.2; done
page=$(sed -e 's|^file://||' "$E2E_WORK/browsed.txt" 2>/dev/null | head -n1 || true)
e2e_check "the page went to the default browser ($page)" \
  grep -Eq "^$TMPDIR/\{[0-9A-F-]{36}\}/md.html\$" <<<"$page"
e2e_check "the page exists while the window is open" test -f "$page"
e2e_x_geometry "$notice"
e2e_check "the window is a small one (${X_WIDTH}x${X_HEIGHT})" test "$X_WIDTH" -le 500 -a "$X_HEIGHT" -le 300
import -window root "$E2E_ARTIFACTS/gtk-help-browser.png"
e2e_check "the help window is modal (the action has not returned)" test "$(e2e_host_results)" -eq 0
e2e_close_window "$notice"
e2e_host_await 0 20
e2e_check "a close request ends ShowHelp with true (got $E2E_RESULT)" test "$E2E_RESULT" = "true [BOOL]"
e2e_check "the help's temporary folder is gone" test ! -e "$(dirname "$page")"
e2e_host_finish
e2e_check "the harness run ends cleanly (status $E2E_HOST_RC)" test "$E2E_HOST_RC" -eq 0
e2e_log "passed"
