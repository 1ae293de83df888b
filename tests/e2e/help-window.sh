#!/usr/bin/env bash
# End to end: the help window under Wine. With the device open (its topmost
# tag window on screen), DoAdditionalAction("ShowHelp") opens the modal help
# window; the call returns true only after a close request from the window
# system has closed it, and the help's temporary folder is gone by then.
#
#   help-window.sh ADDIN.dll V8HOST.exe WINQUERY.exe ARTIFACT_DIR
#
# Wine has no browser engine here (mshtml is switched off, so no installer
# dialog blocks the window): the page area stays blank. The page itself is
# kept among the artifacts, and pictured with headless Chromium when that is
# installed.
source "$(dirname "$0")/lib.sh"
export WINEDLLOVERRIDES="mscoree=d;mshtml=d"
e2e_init help-window "$@"
source "$E2E_DIR/modal.sh"

title="Справка"
rm -rf "$E2E_ARTIFACTS/help-page" "$E2E_ARTIFACTS/help-page.png"

# The help unpacks into a GUID-named folder of the user's temporary folder.
temp_dirs() {
  local d
  for d in "$E2E_PREFIX"/drive_c/users/*/AppData/Local/Temp "$E2E_PREFIX"/drive_c/users/*/Temp; do
    [ -d "$d" ] && find "$d" -mindepth 1 -maxdepth 1 -type d -name '{*-*-*-*-*}'
  done | sort
}

e2e_modal_open ShowHelp "$title"
before_close_dirs=$(temp_dirs)
page_dir=
for d in $before_close_dirs; do
  [ -f "$d/md.html" ] && page_dir=$d
done
if [ -n "$page_dir" ]; then
  e2e_log "help folder $page_dir"
  mkdir -p "$E2E_ARTIFACTS/help-page"
  cp "$page_dir"/md.html "$page_dir"/*.css "$E2E_ARTIFACTS/help-page/" 2>/dev/null || true
  e2e_check "the page begins with the UTF-8 byte-order mark" \
    test "$(head -c 3 "$page_dir/md.html" | od -An -tx1 | tr -d ' \n')" = efbbbf
  e2e_check "the page holds the help's title" \
    grep -q "<h1>Драйвер эмулятора RFID считывателя 1C:БПО NativeAPI</h1>" "$page_dir/md.html"
else
  e2e_fail "no temporary help folder with md.html while the window is open"
fi

e2e_modal_close "$title"
e2e_check "the help's temporary folder is removed after the window closed" test ! -e "$page_dir"

# A picture of the page as a browser shows it.
chromium=$(command -v chromium || command -v chromium-browser || true)
if [ -n "$chromium" ]; then
  timeout 120 "$chromium" --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=800,600 \
    --screenshot="$E2E_ARTIFACTS/help-page.png" "file://$E2E_ARTIFACTS/help-page/md.html" \
    6>&- 8>&- >"$E2E_WORK/chromium.log" 2>&1 || true
  if [ -s "$E2E_ARTIFACTS/help-page.png" ]; then
    e2e_log "help page rendered by Chromium: $E2E_ARTIFACTS/help-page.png"
  else
    e2e_log "Chromium could not picture the page (see $E2E_WORK/chromium.log)"
  fi
else
  e2e_log "Chromium is not installed: no picture of the help page"
fi
e2e_log "passed"
