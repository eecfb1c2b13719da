#!/usr/bin/env bash
# Builds the benchmarks and runs each briefly, so that they keep building and
# the bare loop keeps producing the renderer's very bytes (the benchmark
# reports an error otherwise), holds the converter's peak resident memory
# under 4 MiB, and holds the player's, writing the whole sweep at 192000 Hz,
# within 512 KiB of what it takes for the sweep at 48000 Hz. The figures
# themselves come from scripts/bench.sh on a quiet machine.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh

need_packages_or_skip cmake g++ libbenchmark-dev time nlohmann-json3-dev

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

# The player streams: the file of the whole sweep at the highest rate takes
# no more memory than the same sweep at 48000 Hz, a quarter of its length.
# Both hold the same library and list of codes, so that what differs is
# only how much is written.
peak_play() {
  for _ in 1 2 3; do
    rm -rf "${work:?}"/*
    # The figure goes to a file of its own: the player's notices stay out.
    (cd "$work" && /usr/bin/time -o "$work/peak" -f %M "$OLDPWD/build/bench/src/irwav-play" "$@" \
      >/dev/null 2>&1)
    cat "$work/peak"
  done | sort -n | sed -n 2p
}
one=$(peak_play --brand all --rate 48000 --output one.wav)
all=$(peak_play --brand all --rate 192000 --output all.wav)
echo "bench: peak resident memory of irwav-play: $one KiB for --brand all at 48000 Hz," \
  "$all KiB at 192000 Hz (median of 3; limit: 512 KiB more)"
[[ "$one" =~ ^[0-9]+$ && "$all" =~ ^[0-9]+$ ]] || { echo "bench: no peak memory read for irwav-play" >&2; exit 1; }
if [ "$all" -ge $((one + 512)) ]; then
  echo "bench: irwav-play's memory grows with the length of what it writes" >&2
  exit 1
fi

# irwav-mqtt: publish-to-first-sample latency over 100 commands and the
# daemon's memory idle and after a flood of 10,000 bad messages, through a
# broker of its own (bench/mqtt_bench.sh). Figures only: they are not held
# to a limit here, but every command must play and every bad message must
# be refused.
need_packages_or_skip libmosquitto-dev nlohmann-json3-dev mosquitto mosquitto-clients python3
cmake --preset bench >/dev/null
cmake --build --preset bench --target irwav-mqtt irwav_mqtt_bench
mqtt="$(bench/mqtt_bench.sh 2>&1)"
echo "$mqtt"
if grep -q "ERROR OCCURRED" <<<"$mqtt" || ! grep -q "BM_FloodMemory" <<<"$mqtt"; then
  echo "bench: the MQTT benchmark did not complete" >&2
  exit 1
fi
