#!/usr/bin/env bash
# Builds the benchmarks and runs each briefly, so that they keep building and
# the bare loop keeps producing the renderer's very bytes (the benchmark
# reports an error otherwise). The figures themselves come from
# scripts/bench.sh on a quiet machine.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh

need_packages cmake g++ libbenchmark-dev

echo "bench: build the 'bench' preset and run every benchmark once, briefly"
cmake --preset bench >/dev/null
cmake --build --preset bench
out="$(build/bench/bench/irwav_bench --benchmark_min_time=0.05 2>&1)"
echo "$out"
if grep -q "ERROR OCCURRED" <<<"$out"; then
  echo "bench: a benchmark reported an error" >&2
  exit 1
fi
