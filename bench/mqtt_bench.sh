#!/usr/bin/env bash
# Runs irwav_mqtt_bench against irwav-mqtt of the bench build: starts a
# mosquitto of its own on a free port of 127.0.0.1 and the daemon, playing
# into ALSA's file plugin (so "at the device" is when the first block went
# to ALSA), and prints the publish-to-first-sample latency over 100
# commands and the daemon's memory idle and after 10,000 bad messages.
# Extra arguments go to the benchmark (--benchmark_format=json, ...).
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/bench
tmp=$(mktemp -d)
broker=
daemon=
cleanup() {
  [ -n "$daemon" ] && kill "$daemon" 2>/dev/null || true
  [ -n "$broker" ] && kill "$broker" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat > "$tmp/mosquitto.conf" <<CONF
user $(id -un)
listener $port 127.0.0.1
allow_anonymous true
persistence false
CONF
cat > "$tmp/asound.conf" <<CONF
pcm.!default { type file slave { pcm { type null } } file "$tmp/capture.raw" format "raw" }
CONF
mosquitto -c "$tmp/mosquitto.conf" 2>"$tmp/broker.log" &
broker=$!
for _ in $(seq 50); do
  mosquitto_pub -h 127.0.0.1 -p "$port" -t probe -m x 2>/dev/null && break
  sleep 0.1
done
ALSA_CONFIG_PATH="$tmp/asound.conf" "$bin/src/irwav-mqtt" --broker "mqtt://127.0.0.1:$port" \
  --name bench 2>/dev/null &
daemon=$!
for _ in $(seq 50); do
  [ "$(mosquitto_sub -h 127.0.0.1 -p "$port" -t irwav/bench/status -C 1 -W 1 2>/dev/null)" = online ] && break
done
IRWAV_MQTT_BENCH_PORT=$port IRWAV_MQTT_BENCH_PID=$daemon IRWAV_MQTT_BENCH_PREFIX=irwav/bench \
  "$bin/bench/irwav_mqtt_bench" "$@"
