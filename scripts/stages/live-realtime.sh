#!/usr/bin/env bash
# Live playback in real time. The file-capturing PCM of the unit tests takes
# frames as fast as they come; here irwav-play plays through ALSA's PulseAudio
# plugin into the null sink of a private PulseAudio server, which consumes
# them at 48000 frames a second, and the sink's monitor is recorded. The
# recording must hold the converter's WAV data, byte for byte and without a
# break: blocks reach the device in time, the end of the stream is noticed,
# and closing does not cut off the tail. At 96000 and 192000 Hz no underrun
# may be reported, and a server stopped while the player plays must be
# given up within the stall limit. Needs the default build.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh

need_packages_or_skip pulseaudio pulseaudio-utils libasound2-plugins python3

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

export HOME=$tmp
cat > "$tmp/asound.conf" <<'EOF'
pcm.!default { type pulse }
ctl.!default { type pulse }
EOF

echo "live real time: start a private PulseAudio server with a null sink"
if ! start_null_sink_server "$tmp"; then
  # No server, no real-time device: nothing about irwav has been tested.
  skip_stage "the PulseAudio server did not start"
fi
mkdir "$tmp/work"
cd "$tmp/work"
"$bin/irwav" > /dev/null

# Plays the codes given after the gap (every code when none) with that gap in
# ms between them, and checks the recording. With interrupt_ms set, sends
# Ctrl-C (or the signal named by interrupt_signal) that long after the start:
# the player must stop after the block in hand and die by that signal, and
# what played must be the stream's start.
play_and_check() {
  local gap=$1
  shift
  local signal=${interrupt_signal:-INT}
  echo "live real time: irwav-play --gap $gap $*${interrupt_ms:+ (SIG$signal after $interrupt_ms ms)}"
  parec -d irwav.monitor --format=s16le --rate=48000 --channels=2 --raw > "$tmp/recorded.raw" &
  rec_pid=$!
  sleep 2  # the recording stream settles before anything plays
  local start elapsed_ms status=0 player
  start=$(date +%s%N)
  # A background job starts with SIGINT ignored, and the player keeps it so,
  # as it should: the signal's default action is restored for it here.
  env --default-signal=INT ALSA_CONFIG_PATH="$tmp/asound.conf" "$bin/irwav-play" --gap "$gap" "$@" \
    > "$tmp/played.txt" &
  player=$!
  if [ -n "${interrupt_ms:-}" ]; then
    sleep "$(( interrupt_ms / 1000 )).$(printf %03d $(( interrupt_ms % 1000 )))"
    kill -"$signal" "$player"
  fi
  wait "$player" || status=$?
  elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
  sleep 2  # the monitor delivers what the sink played
  kill "$rec_pid"
  wait "$rec_pid" 2>/dev/null || true
  rec_pid=
  python3 - "$tmp/recorded.raw" "$status" "$elapsed_ms" "${interrupt_ms:-0}" \
    "$(( 128 + $(kill -l "$signal") ))" "$gap" "$@" <<'PY'
import glob, sys

recorded = open(sys.argv[1], "rb").read()
status, elapsed_ms, interrupt_ms, signal_status, gap_ms = (int(a) for a in sys.argv[2:7])
codes = sys.argv[7:]
block = 16384

def fail(why):
    sys.exit("live real time: FAILED, " + why)

if codes:
    names = []
    for code in codes:
        (name,) = glob.glob("%3s_*.wav" % code if code.isdigit() else "*_%s.wav" % code)
        names.append(name)
else:
    names = sorted(glob.glob("*.wav"), key=lambda name: int(name.split("_")[0]))
expected = bytes(gap_ms * 48 * 4).join(open(name, "rb").read()[44:] for name in names)
audio_ms = len(expected) * 1000 // (48000 * 4)
print("live real time: %d codes, %d ms of audio, status %d after %d ms"
      % (len(names), audio_ms, status, elapsed_ms))
start = recorded.find(expected[:4000])
if start < 0:
    fail("the start of the stream was not recorded")
got = recorded[start:start + len(expected)]
differs = next((i for i in range(len(expected)) if i >= len(got) or got[i] != expected[i]), None)

if not interrupt_ms:
    if status != 0:
        fail("irwav-play ended with status %d" % status)
    if differs is not None:
        fail("the recording departs from the WAV data at frame %d of %d"
             % (differs // 4, len(expected) // 4))
    # Opening, and the server's drain at the end, take a few seconds at most;
    # a stream whose end went unnoticed costs the 5 s stall timeout on top.
    if elapsed_ms > audio_ms + 4000:
        fail("playing took %d ms for %d ms of audio" % (elapsed_ms, audio_ms))
    print("live real time: the recording matches the WAV data")
    sys.exit(0)

if status != signal_status:
    fail("interrupted, irwav-play ended with status %d, not %d" % (status, signal_status))
if differs is None:
    fail("interrupted, the whole stream played all the same")
# What played is a whole number of blocks of the stream (the data beyond the
# mismatch may be zeros in both), and only silence follows it.
played = differs - differs % block
if any(expected[played:differs]) or any(recorded[start + differs:]):
    fail("interrupted, the recording is not the stream's start followed by silence")
played_ms = played * 1000 // (48000 * 4)
print("live real time: %d blocks (%d ms) played before the stop" % (played // block, played_ms))
# The server starts playing up to a couple of seconds late, and the player
# stays at most two blocks ahead of what has played.
if played_ms < interrupt_ms - 2500 or played_ms > interrupt_ms + 500:
    fail("interrupted after %d ms, yet %d ms played" % (interrupt_ms, played_ms))
if elapsed_ms > interrupt_ms + 4000:
    fail("interrupted after %d ms, the player took until %d ms to end"
         % (interrupt_ms, elapsed_ms))
print("live real time: stopped after the block in hand")
PY
}

# Real time on a shared machine: a run starved of the processor by some other
# load can lose frames in the server or the recorder, so a failed check is
# tried once more. A fault of the player fails both tries.
check_twice() {
  "$@" && return 0
  echo "live real time: trying that once more"
  "$@"
}

check_twice play_and_check 150 sony toshiba NEC 0
check_twice play_and_check 50
interrupt_ms=4000 check_twice play_and_check 50
interrupt_ms=3000 interrupt_signal=TERM check_twice play_and_check 50

# At 96000 and 192000 Hz the server resamples, so the recording is not held
# against the WAV data; the player must report no underrun (status 0): what
# it keeps in flight lasts as long at every rate.
play_fast() {
  local rate=$1 status=0
  echo "live real time: irwav-play --rate $rate --gap 50 sony toshiba NEC, three times"
  env ALSA_CONFIG_PATH="$tmp/asound.conf" "$bin/irwav-play" --rate "$rate" --gap 50 \
    sony toshiba NEC sony toshiba NEC sony toshiba NEC > /dev/null 2> "$tmp/fast.err" || status=$?
  cat "$tmp/fast.err"
  if [ "$status" != 0 ]; then
    echo "live real time: FAILED, irwav-play --rate $rate ended with status $status"
    return 1
  fi
}
check_twice play_fast 96000
check_twice play_fast 192000

# A server that stops answering (SIGSTOP) while the player plays: the player
# gives the device up after the 5 s stall limit and ends with status 1,
# instead of waiting for as long as the server is stopped.
echo "live real time: the server stops answering 1.5 s into playing"
start=$(date +%s%N)
(sleep 1.5; kill -STOP "$pa_pid") &
stopper=$!
status=0
env ALSA_CONFIG_PATH="$tmp/asound.conf" timeout 30 "$bin/irwav-play" --gap 50 > /dev/null \
  2> "$tmp/stalled.err" || status=$?
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
wait "$stopper" || true
kill -CONT "$pa_pid"
cat "$tmp/stalled.err"
echo "live real time: status $status after $elapsed_ms ms"
if [ "$status" != 1 ] || [ "$elapsed_ms" -gt 10000 ]; then
  echo "live real time: FAILED, a stopped server must be given up within the stall limit"
  exit 1
fi
echo "live real time: the stopped server was given up"
