#!/usr/bin/env bash
# Runs the converter and the player under valgrind's memcheck: any invalid
# access, use of uninitialised memory or leak fails the stage, as does a
# converter run that does not write its 48 files. The player plays three
# codes into ALSA's file plugin (over the null PCM), configured for this run
# alone; without ALSA in the build it must fail to open the device cleanly.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh

need_packages_or_skip cmake g++ libgtest-dev valgrind nlohmann-json3-dev

cmake --preset default >/dev/null
cmake --build --preset default --target irwav irwav-play
bin="$PWD/build/default/src"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
memcheck=(valgrind --quiet --error-exitcode=99 --leak-check=full
  --errors-for-leak-kinds=definite,indirect,possible --track-origins=yes
  --suppressions="$PWD/scripts/valgrind/alsa.supp")

echo "valgrind: memcheck over one converter run in an empty temporary directory"
mkdir "$work/convert"
(cd "$work/convert" && "${memcheck[@]}" "$bin/irwav" >/dev/null)
count=$(find "$work/convert" -maxdepth 1 -name '*.wav' | wc -l)
if [ "$count" -ne 48 ]; then
  echo "valgrind: expected 48 WAV files, found $count" >&2
  exit 1
fi

echo "valgrind: memcheck over irwav-play playing three codes"
cat >"$work/asound.conf" <<CONF
pcm.!default {
  type file
  slave { pcm { type null } }
  file "$work/capture.raw"
  format "raw"
}
CONF
status=0
ALSA_CONFIG_PATH="$work/asound.conf" "${memcheck[@]}" "$bin/irwav-play" --gap 20 sony anam toshiba \
  >/dev/null 2>"$work/play.err" </dev/null || status=$?
cat "$work/play.err" >&2
if [ "$status" -eq 99 ]; then
  echo "valgrind: memcheck found errors in irwav-play" >&2
  exit 1
fi
if [ "$status" -ne 0 ] && ! grep -q "no audio device is available in this build" "$work/play.err"; then
  echo "valgrind: irwav-play failed (status $status)" >&2
  exit 1
fi
echo "valgrind: clean"
