#!/usr/bin/env bash
# Builds the benchmarks and runs each briefly, so that they keep building and
# the bare loop keeps producing the renderer's very bytes (the benchmark
# reports an error otherwise), and holds the converter's peak resident
# memory under 4 MiB. The figures themselves come from scripts/bench.sh on a
# quiet machine.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh

need_packages_or_skip cmake g++ libbenchmark-dev time

echo "bench: build the 'bench' preset and run every benchmark once, briefly"
cmake --preset bench >/dev/null
cmake --build --preset bench
out="$(build/bench/bench/irwav_bench --benchmark_min_time=0.05 2>&1)"
echo "$out"
if grep -q "ERROR OCCURRED" <<<"$out"; then
  echo "bench: a benchmark reported an error" >&2
  exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
peak=$(for _ in 1 2 3; do
  rm -rf "${work:?}"/*
  (cd "$work" && /usr/bin/time -f %M "$OLDPWD/build/bench/src/irwav" 2>&1 >/dev/null)
done | sort -n | sed -n 2p)
echo "bench: peak resident memory of irwav: $peak KiB (median of 3; limit 4096)"
if [ "$peak" -ge 4096 ]; then
  echo "bench: irwav takes 4 MiB or more" >&2
  exit 1
fi
