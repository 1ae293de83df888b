#!/usr/bin/env bash
# The test command: installs what is missing (tools/setup.sh), then for each
# build - linux, linux-asan (AddressSanitizer + UndefinedBehaviorSanitizer),
# win32, win64 - configures, builds and runs ctest (the Windows tests under
# Wine); "fuzz" builds the libFuzzer targets and runs each briefly
# (tools/fuzz.sh); "linux-portable" builds the portable Linux components
# (x86_64, and ARM64 run under QEMU) in Debian 11 roots
# (tools/build-linux-portable.sh), checks what they need of the system
# (tests/infra/check-portable-linux.sh) and drives their windows; after the Windows
# builds and that one the add-in bundle (tools/make-bundle.sh, checked by
# tests/bundle/check-bundle.sh). Stops at the first failure.
#
#   tools/test.sh                    everything
#   tools/test.sh linux win32        only these
#   QUORVEL_SKIP_SETUP=1             do not run tools/setup.sh
#   QUORVEL_FUZZ_SECONDS=N           seconds per fuzz target (default 30)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(linux linux-asan fuzz win32 win64 linux-portable)
for p in "${presets[@]}"; do
  case "$p" in
    linux|linux-asan|win32|win64|fuzz|linux-portable) ;;
    *) echo "tools/test.sh: unknown build '$p' (linux, linux-asan, fuzz, win32, win64, linux-portable)" >&2; exit 2 ;;
  esac
done

started=$SECONDS
summary=()
current="setup"
step_start=$SECONDS
log_dir="$root/build/logs"
mkdir -p "$log_dir"

# On a fresh machine the portable step's two Debian 11 roots take minutes of
# downloading and unpacking, mostly waiting on the network and the disk:
# they are made in the background, in a session of their own, while the
# other builds use the cores. A root still in the making holds its lock, so
# the portable step waits for it; one that failed is made again there, with
# its error. Where the roots exist this ends at once.
roots_pid=""
start_roots() {
  local log=$log_dir/portable-roots.log
  setsid bash -c 'for a in x86_64 aarch64; do tools/build-linux-portable.sh --root "$a" >/dev/null || true; done' \
    >"$log" 2>&1 </dev/null &
  roots_pid=$!
}
stop_roots() {
  [ -n "$roots_pid" ] || return 0
  kill -TERM -- "-$roots_pid" 2>/dev/null || true
  roots_pid=""
}
banner() { printf '\n==== %s ====\n' "$*"; }
finish_step() { summary+=("$(printf '%-16s %5d s' "$current" $((SECONDS - step_start)))"); }
on_exit() {
  local rc=$?
  stop_roots
  if [ $rc -ne 0 ]; then
    banner "FAILED: $current (exit $rc)"
    printf '%s\n' "${summary[@]}"
  fi
}
trap on_exit EXIT

# One step that counts as one passed check: NAME COMMAND...; stops the run
# when COMMAND fails.
run_step() {
  current=$1; step_start=$SECONDS
  banner "$current"
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    exit 1
  fi
  finish_step
}

# The check must also refuse what it exists to refuse: the regular Linux
# build (the linux step), which needs Debian 12's libraries and glibc.
refuses_regular() {
  if [ ! -f build/linux/quorvel.so ]; then
    echo "note: build/linux/quorvel.so not built, the check's refusal is not tried"
  elif tests/infra/check-portable-linux.sh build/linux/quorvel.so >/dev/null; then
    echo "FAIL: the check accepts build/linux/quorvel.so"; return 1
  else
    echo "ok: the check refuses build/linux/quorvel.so"
  fi
}
# The portable library: built, checked, and - since what ships is what the
# window tests drive - its GTK tag window on a private Xvfb under a window
# manager, through the linux step's v8host, with a real double-click
# presenting a tag.
# The portable control tool is checked the same way, and drives the
# portable library's tag window together with real keys, bare, under a
# window manager and at scale 2, then presents, adds and fails tags.
portable_step() {
  local lib tool=build/linux-portable/tools/quorvel-tags/quorvel-tags v8host=build/linux/tools/v8host/v8host mode
  lib=$(tools/build-linux-portable.sh) && tests/infra/check-portable-linux.sh "$lib" && refuses_regular \
    && tests/infra/check-portable-linux.sh --tool "$tool" \
    && tests/e2e/gtk-tag-window.sh "$lib" "$v8host" "$root/build/artifacts/linux-portable" openbox || return 1
  for mode in bare openbox scale2; do
    tests/e2e/gtk-tag-keys.sh "$lib" "$v8host" "$root/build/artifacts/linux-portable" "$mode" "$tool" || return 1
  done
  tests/e2e/gtk-tags-tool.sh "$lib" "$v8host" "$root/build/artifacts/linux-portable" bare "$tool" || return 1
  aarch64_step
}
# The Linux ARM64 component, its harness and tool, cross-built in a Debian 11
# root of their own and run under QEMU's user-mode emulation: the harness
# session, then the GTK tag window in Xvfb with a real double-click and the
# ARM64 tool presenting a tag.
aarch64_step() {
  local lib a=build/linux-portable-aarch64 art="$root/build/artifacts/linux-portable-aarch64"
  lib=$(tools/build-linux-portable.sh aarch64) && tests/infra/check-portable-linux.sh "$lib" aarch64 \
    && tests/infra/check-portable-linux.sh --tool "$a/tools/quorvel-tags/quorvel-tags" aarch64 \
    && tests/e2e/aarch64-session.sh "$lib" "$a/tools/v8host/v8host" "$art" \
    && tests/e2e/gtk-aarch64.sh "$lib" "$a/tools/v8host/v8host" "$a/tools/quorvel-tags/quorvel-tags" "$art"
}
bundle_step() {
  local bundle tools
  bundle=$(tools/make-bundle.sh) && tests/bundle/check-bundle-selftest.sh "$bundle" && tests/bundle/check-bundle.sh "$bundle" \
    && tools=$(tools/make-tools-archive.sh) && tests/infra/check-tools-archive.sh "$tools"
}

if [ -z "${QUORVEL_SKIP_SETUP:-}" ]; then
  banner "setup"
  tools/setup.sh
  finish_step
fi

if [[ " ${presets[*]} " == *" linux-portable "* ]]; then start_roots; fi

passed=0
failed=0
not_run=0
not_run_why=""
# Where the kernel refuses 32-bit programs, the Windows steps take the
# 64-bit loader (tools/wine-route.sh) and the 32-bit DLL is checked as a
# file only.
# shellcheck source=tools/wine-route.sh
. tools/wine-route.sh
if [[ " ${presets[*]} " == *" win"* ]] && ! quorvel_kernel_runs_32bit; then
  not_run_why=$(quorvel_no_32bit_reason)
  echo "NOTE: $not_run_why: the win32 step builds and checks the 32-bit DLL as a file; its run-time tests cannot run"
fi
for p in "${presets[@]}"; do
  if [ "$p" = fuzz ]; then
    # Builds the linux-fuzz preset and runs every target; a crash fails.
    run_step fuzz tools/fuzz.sh "${QUORVEL_FUZZ_SECONDS:-30}"
    continue
  fi
  if [ "$p" = linux-portable ]; then
    run_step linux-portable portable_step
    continue
  fi

  current="$p configure"; step_start=$SECONDS
  banner "$current"
  cmake --preset "$p" >"$log_dir/$p-configure.log" 2>&1 || { cat "$log_dir/$p-configure.log"; exit 1; }
  finish_step

  current="$p build"; step_start=$SECONDS
  banner "$current"
  cmake --build --preset "$p"
  finish_step

  current="$p test"; step_start=$SECONDS
  banner "$current"
  only=()
  if [ "$p" = win32 ] && [ -n "$not_run_why" ]; then
    # The checks of the built files need no Wine; every other test does.
    only=(-R '^infra\.')
    all=$(ctest --preset "$p" -N | sed -nE 's/^Total Tests: ([0-9]+)/\1/p')
    some=$(ctest --preset "$p" -N "${only[@]}" | sed -nE 's/^Total Tests: ([0-9]+)/\1/p')
    not_run=$((not_run + all - some))
    summary+=("$(printf '%-16s %5s   %d run-time tests NOT RUN: %s' "win32 test" - $((all - some)) "$not_run_why")")
    echo "NOT RUN: $((all - some)) of the $all win32 tests (every one that runs the 32-bit DLL under Wine): $not_run_why"
  fi
  set +o pipefail
  ctest --preset "$p" "${only[@]}" 2>&1 | tee "$log_dir/$p-ctest.log"
  rc=${PIPESTATUS[0]}
  set -o pipefail
  # A skipped test proves nothing: it fails the step.
  if grep -qE '\*\*\*Skipped|Not Run' "$log_dir/$p-ctest.log"; then
    echo "FAIL: ctest skipped tests (a skip counts as a failure here):"
    grep -E '\*\*\*Skipped|Not Run' "$log_dir/$p-ctest.log"
    [ "$rc" -ne 0 ] || rc=1
  fi
  # "100% tests passed, 0 tests failed out of 7"
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log_dir/$p-ctest.log" | tail -n1 || true)
  if [ -n "$line" ]; then
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*tests passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  fi
  [ "$rc" -eq 0 ] || exit "$rc"
  finish_step
done

# The add-in bundle, once the Windows and the portable Linux builds are
# there: packed as tools/demo.sh packs it, then unpacked, validated and
# loaded (the DLLs under Wine, the Linux library natively by the linux
# build's harness), after a check that the validation rejects broken bundles.
if [[ " ${presets[*]} " == *" win32 "* && " ${presets[*]} " == *" win64 "* \
      && " ${presets[*]} " == *" linux-portable "* && " ${presets[*]} " == *" linux "* ]]; then
  run_step bundle bundle_step
fi

current="done"
banner "all builds passed in $((SECONDS - started)) s"
printf '%s\n' "${summary[@]}"
if [ "$not_run" -gt 0 ]; then
  echo "${passed} passed, ${failed} failed, ${not_run} NOT RUN ($not_run_why)"
else
  echo "${passed} passed, ${failed} failed"
fi
