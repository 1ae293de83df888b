#!/usr/bin/env bash
# The benchmarks (Google Benchmark) in an optimised Linux build: configures
# and builds the linux-bench preset, then runs build/linux-bench/tests/bench/quorvel_bench.
# Arguments go to the benchmark program, e.g.
#   tools/bench.sh --benchmark_filter=GetDataTags --benchmark_repetitions=5
# The figures are also written to build/linux-bench/bench.json.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset linux-bench >/dev/null
cmake --build --preset linux-bench
bench=build/linux-bench/tests/bench/quorvel_bench
# Logs of the log benchmark go to a scratch folder of its own; the rest run
# with the log off.
exec "$bench" --benchmark_out=build/linux-bench/bench.json --benchmark_out_format=json "$@"
