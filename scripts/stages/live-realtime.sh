#!/usr/bin/env bash
# Live playback in real time. The file-capturing PCM of the unit tests takes
# frames as fast as they come; here irwav-play plays through ALSA's PulseAudio
# plugin into the null sink of a private PulseAudio server, which consumes
# them at 48000 frames a second, and the sink's monitor is recorded. The
# recording must hold the converter's WAV data, byte for byte and without a
# break: blocks reach the device in time, the end of the stream is noticed,
# and closing does not cut off the tail. Needs the default build.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh

need_packages pulseaudio pulseaudio-utils libasound2-plugins python3

top=$PWD
bin=$top/build/default/src
tmp=$(mktemp -d)
pa_pid=
rec_pid=
cleanup() {
  [ -n "$rec_pid" ] && kill "$rec_pid" 2>/dev/null || true
  [ -n "$pa_pid" ] && kill "$pa_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$tmp/run PULSE_RUNTIME_PATH=$tmp/run/pulse HOME=$tmp
mkdir -m 700 "$XDG_RUNTIME_DIR"
cat > "$tmp/server.pa" <<'EOF'
load-module module-null-sink sink_name=irwav rate=48000 channels=2 format=s16le
load-module module-native-protocol-unix
set-default-sink irwav
EOF
cat > "$tmp/asound.conf" <<'EOF'
pcm.!default { type pulse }
ctl.!default { type pulse }
EOF

echo "live real time: start a private PulseAudio server with a null sink"
pulseaudio -n -F "$tmp/server.pa" --daemonize=no --exit-idle-time=-1 --disallow-exit \
  --log-target=file:"$tmp/server.log" &
pa_pid=$!
for _ in $(seq 50); do
  pactl info >/dev/null 2>&1 && break
  sleep 0.2
done
if ! pactl info >/dev/null 2>&1; then
  # No server, no real-time device: nothing about irwav has been tested.
  echo "live real time: SKIPPED, the PulseAudio server did not start:"
  tail -5 "$tmp/server.log" || true
  exit 0
fi
mkdir "$tmp/work"
cd "$tmp/work"
"$bin/irwav" > /dev/null

# Plays the codes given after the gap (every code when none) with that gap in
# ms between them, and checks the recording.
play_and_check() {
  local gap=$1
  shift
  echo "live real time: irwav-play --gap $gap $*"
  parec -d irwav.monitor --format=s16le --rate=48000 --channels=2 --raw > "$tmp/recorded.raw" &
  rec_pid=$!
  sleep 2  # the recording stream settles before anything plays
  local start elapsed_ms
  start=$(date +%s%N)
  ALSA_CONFIG_PATH=$tmp/asound.conf "$bin/irwav-play" --gap "$gap" "$@" > "$tmp/played.txt"
  elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
  sleep 2  # the monitor delivers what the sink played
  kill "$rec_pid"
  wait "$rec_pid" 2>/dev/null || true
  rec_pid=
  python3 - "$tmp/recorded.raw" "$elapsed_ms" "$gap" "$@" <<'PY'
import glob, sys

recorded = open(sys.argv[1], "rb").read()
elapsed_ms = int(sys.argv[2])
gap = bytes(int(sys.argv[3]) * 48 * 4)
codes = sys.argv[4:]

if codes:
    names = []
    for code in codes:
        (name,) = glob.glob("%3s_*.wav" % code if code.isdigit() else "*_%s.wav" % code)
        names.append(name)
else:
    names = sorted(glob.glob("*.wav"), key=lambda name: int(name.split("_")[0]))
expected = gap.join(open(name, "rb").read()[44:] for name in names)
audio_ms = len(expected) * 1000 // (48000 * 4)
print("live real time: %d codes, %d ms of audio played in %d ms"
      % (len(names), audio_ms, elapsed_ms))
start = recorded.find(expected[:4000])
if start < 0:
    sys.exit("live real time: FAILED, the start of the stream was not recorded")
got = recorded[start:start + len(expected)]
if got != expected:
    first = next(i for i in range(len(expected)) if i >= len(got) or got[i] != expected[i])
    sys.exit("live real time: FAILED, the recording departs from the WAV data at frame %d of %d"
             % (first // 4, len(expected) // 4))
# Opening, and the server's drain at the end, take a few seconds at most; a
# stream whose end went unnoticed costs the 5 s stall timeout on top.
if elapsed_ms > audio_ms + 4000:
    sys.exit("live real time: FAILED, playing took %d ms for %d ms of audio"
             % (elapsed_ms, audio_ms))
print("live real time: the recording matches the WAV data")
PY
}

play_and_check 150 sony toshiba NEC 0
play_and_check 50
