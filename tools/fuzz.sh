#!/usr/bin/env bash
# Runs the libFuzzer targets of tests/fuzz, one after the other.
#
#   tools/fuzz.sh [SECONDS] [TARGET ...]
#
# SECONDS   how long each target runs (default 30)
# TARGET    variant, properties, settings, markdown, unpack, tagcommand,
#           tagcsv (default: all);
#           "fuzz_variant" is accepted as well
#
# The linux-fuzz preset (clang, build/linux-fuzz) is configured and built
# first; that is a quick no-op once it is up to date (QUORVEL_FUZZ_NO_BUILD=1
# skips the step and uses what is built). Each target runs on a working
# corpus, build/linux-fuzz/corpus/<target>, started from a copy of the seeds
# in tests/fuzz/corpus/<target> and read together with them (the seeds are
# never written), with tests/fuzz/<target>.dict when there is one. A crash,
# a leak, a timeout (one input over 10 s) or memory over 2048 MB fails the
# target; its input stays in build/linux-fuzz/artifacts/ and its output in
# build/linux-fuzz/logs/<target>-<SECONDS>s.log. One summary line per
# target; the exit status is non-zero when any target failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

seconds=30
if [ $# -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
all_targets=(variant properties settings markdown unpack tagcommand tagcsv)
targets=()
for t in "$@"; do
  t=${t#fuzz_}
  case " ${all_targets[*]} " in
    *" $t "*) targets+=("$t") ;;
    *) echo "tools/fuzz.sh: unknown target '$t' (${all_targets[*]})" >&2; exit 2 ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")

build="$root/build/linux-fuzz"
if [ -z "${QUORVEL_FUZZ_NO_BUILD:-}" ]; then
  mkdir -p "$build"
  cmake --preset linux-fuzz >"$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
  cmake --build --preset linux-fuzz
fi

# Each target keeps its files in a sandbox under TMPDIR: one per run of
# this script, inside the build tree, removed at the end (with whatever a
# crashed target left there).
export TMPDIR="$build/tmp/run-$$"
mkdir -p "$build/artifacts" "$build/logs" "$TMPDIR"
trap 'rm -rf "$TMPDIR"' EXIT
# UBSan findings stop the run like any other crash; leaks are reported.
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export ASAN_OPTIONS="detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"

failed=0
summary=()
for t in "${targets[@]}"; do
  exe="$build/tests/fuzz/fuzz_$t"
  [ -x "$exe" ] || { echo "tools/fuzz.sh: $exe is not built" >&2; exit 1; }
  seeds="$root/tests/fuzz/corpus/$t"
  work="$build/corpus/$t"
  log="$build/logs/$t-${seconds}s.log"
  mkdir -p "$work"
  cp -n "$seeds"/* "$work"/ 2>/dev/null || true
  options=(-max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1
           -artifact_prefix="$build/artifacts/$t-")
  [ -f "$root/tests/fuzz/$t.dict" ] && options+=(-dict="$root/tests/fuzz/$t.dict")
  echo "==== fuzz_$t: $seconds s (log: ${log#"$root"/})"
  started=$SECONDS
  set +e
  "$exe" "${options[@]}" "$work" "$seeds" >"$log" 2>&1
  rc=$?
  set -e
  elapsed=$((SECONDS - started))
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  if [ $rc -eq 0 ]; then
    result="ok"
  else
    failed=1
    artifact=$(sed -n "s/.*Test unit written to //p" "$log" | tail -n 1)
    result="FAILED (exit $rc${artifact:+, input $artifact})"
    grep -E "^(==[0-9]+==ERROR|SUMMARY|.*runtime error)" "$log" | head -n 5 || true
  fi
  summary+=("$(printf 'fuzz_%-11s %5d s %12s executions  %s' "$t" "$elapsed" "${executions:-?}" "$result")")
done

echo
printf '%s\n' "${summary[@]}"
exit $failed
