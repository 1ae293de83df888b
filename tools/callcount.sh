#!/usr/bin/env bash
# Instructions spent inside the add-in per call of one method, with the log
# off, counted by callgrind through a host that plays the platform
# (tests/bench/callcount: loads the built library, creates the object as the
# platform does, calls the method through the object's tables).
#
#   tools/callcount.sh [METHOD] [N]      # default GetInterfaceRevision, 20000
# (the host passes no parameters: METHOD should take none)
#
# Only the add-in's CallAsFunc and what it calls are counted (callgrind's
# --toggle-collect); the host's loop is not. The run is made with N and with
# 2N calls and the difference is divided by N, so that what happens once
# (the first call's symbol binding, caches warming) drops out.
# Builds the optimised preset linux-bench (GCC -O3). LIBRARY=path overrides
# the library measured (default: the headless build of the add-in, the same
# objects as quorvel.so without GTK, so no display is needed). For another
# add-in library measured the same way: CLASS=its class name and
# ENTRY=the callgrind pattern of its CallAsFunc (e.g. 'Component::CallAsFunc(*').
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
method=${1:-GetInterfaceRevision}
n=${2:-20000}
build=build/linux-bench
cmake --preset linux-bench >/dev/null
cmake --build "$build" -j2 --target quorvel_callcount quorvel_headless >/dev/null
library=${LIBRARY:-$build/quorvel_headless.so}
host=$build/tests/bench/quorvel_callcount
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

count() {  # count CALLS -> instructions collected inside the add-in's CallAsFunc
  valgrind --tool=callgrind --collect-atstart=no \
    --toggle-collect="${ENTRY:-(anonymous namespace)::CallAsFunc(*}" \
    --callgrind-out-file="$out/cg.$1" "$host" "$library" "$1" "$method" "${CLASS:-quorvel}" >/dev/null 2>"$out/log.$1" ||
    { cat "$out/log.$1" >&2; exit 1; }
  awk '/^(summary|totals):/ {print $2; exit}' "$out/cg.$1"
}

one=$(count "$n")
two=$(count $((2 * n)))
per_call=$(awk -v a="$one" -v b="$two" -v n="$n" 'BEGIN {printf "%.1f", (b - a) / n}')
echo "library: $library"
echo "method: $method, log off"
echo "instructions in the add-in: $n calls $one, $((2 * n)) calls $two"
echo "per call: $per_call"
if [ -n "${SHOW:-}" ]; then
  # Self cost of each function over the 2N run, for the breakdown.
  callgrind_annotate --inclusive=no "$out/cg.$((2 * n))" | sed -n '1,40p'
fi
