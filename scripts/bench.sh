#!/usr/bin/env bash
# Measures irwav against its floors and prints the figures of the
# performance section of docs/DEVELOPING.md: the benchmarks (median of REPS
# repetitions, default 9), peak resident memory (median of 5 runs) and heap
# allocations per file, each beside the floor it is compared with.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

need_packages cmake g++ libbenchmark-dev valgrind time python3

reps="${REPS:-9}"
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
out=build/bench/results.json
build/bench/bench/irwav_bench --benchmark_repetitions="$reps" --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true --benchmark_format=json --benchmark_out="$out" >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
irwav="$PWD/build/bench/src/irwav"
floor="$PWD/build/bench/bench/irwav_floor_program"

# Peak resident set of a program run in an empty directory, median of five.
peak_kib() {
  for _ in 1 2 3 4 5; do
    rm -rf "$work"/*
    (cd "$work" && /usr/bin/time -f %M "$1" 2>&1 >/dev/null)
  done | sort -n | sed -n 3p
}
# Heap allocations of one run, as valgrind counts them.
allocs() {
  rm -rf "$work"/*
  (cd "$work" && valgrind "$1" 2>&1 >/dev/null) | sed -n 's/.*total heap usage: \([0-9,]*\) allocs.*/\1/p' | tr -d ,
}
rss_irwav=$(peak_kib "$irwav")
rss_floor=$(peak_kib "$floor")
allocs_irwav=$(allocs "$irwav")
files=$(find "$work" -maxdepth 1 -name '*.wav' | wc -l)
allocs_floor=$(allocs "$floor")

echo "machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)"
python3 - "$out" "$rss_irwav" "$rss_floor" "$allocs_irwav" "$allocs_floor" "$files" <<'PY'
import json, sys
results, rss, rss_floor, allocs, allocs_floor, files = sys.argv[1:]
runs = {b["run_name"]: b for b in json.load(open(results))["benchmarks"]
        if b.get("aggregate_name") == "median"}
def ms(name, kind): return runs[name][kind]
for b in ("BM_RenderTable", "BM_BareSineLoop", "BM_WholeRun", "BM_WriteFloor/0", "BM_WriteFloor/1"):
    print(f"{b:16} median cpu {ms(b, 'cpu_time'):7.3f} ms   wall {ms(b, 'real_time'):7.3f} ms")
frames = runs["BM_RenderTable"]["frames"]
print(f"renderer: {frames:.0f} frames per table, "
      f"{frames / ms('BM_RenderTable', 'cpu_time') / 1000:.1f} M frames/s")
print(f"renderer / bare sine loop (cpu):          "
      f"{ms('BM_RenderTable', 'cpu_time') / ms('BM_BareSineLoop', 'cpu_time'):.3f}  (goal <= 1.10)")
for floor, what in (("BM_WriteFloor/0", "write floor"), ("BM_WriteFloor/1", "sink's write calls")):
    for kind, label in (("cpu_time", "cpu"), ("real_time", "wall")):
        ratio = ms("BM_WholeRun", kind) / (ms("BM_RenderTable", kind) + ms(floor, kind))
        goal = "  (goal <= 1.25)" if floor.endswith("0") else ""
        print(f"whole run / (render + {what}) ({label}): {ratio:.3f}{goal}")
for rate in (48000, 192000):
    out, bare = f"BM_BrandAllOutput/{rate}", f"BM_BrandAllBareLoop/{rate}"
    frames = runs[out]["frames"]
    print(f"--brand all --output at {rate} Hz: {frames:.0f} frames, "
          f"{frames / ms(out, 'cpu_time') / 1000:.1f} M frames/s, "
          f"bare loop {frames / ms(bare, 'cpu_time') / 1000:.1f} M frames/s, "
          f"ratio {ms(out, 'cpu_time') / ms(bare, 'cpu_time'):.3f} (cpu)")
rss, rss_floor = int(rss), int(rss_floor)
print(f"peak resident: irwav {rss} KiB, floor program {rss_floor} KiB, "
      f"irwav's own {rss - rss_floor} KiB  (goal: irwav < 4096 KiB)")
allocs, allocs_floor, files = int(allocs), int(allocs_floor), int(files)
print(f"heap allocations: irwav {allocs}, floor program {allocs_floor}, "
      f"{(allocs - allocs_floor) / files:.2f} per file over {files} files  (goal 1)")
PY

# irwav-mqtt through a broker of its own, where it is built.
if [ -x build/bench/bench/irwav_mqtt_bench ]; then
  bench/mqtt_bench.sh --benchmark_counters_tabular=true
fi
