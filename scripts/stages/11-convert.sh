#!/usr/bin/env bash
# scripts/convert.sh as a newcomer meets it. Called through a symbolic link
# from another directory, it must build both programs without GoogleTest
# (as root, with GoogleTest's files hidden from the build) and write the 48
# files into the directory it was called from. The README's picture of a
# burst must be the one that file makes.
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$top"
source scripts/lib.sh

need_packages_or_skip cmake g++ python3 nlohmann-json3-dev

fail() {
  echo "convert: FAILED: $*" >&2
  exit 1
}

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin" "$work/out"
ln -s "$top/scripts/convert.sh" "$work/bin/convert"

# A fresh configure of the release build, as on a clean clone.
rm -rf build/release/CMakeCache.txt build/release/CMakeFiles
convert=("$work/bin/convert")
if [ "$(id -u)" -eq 0 ] && unshare -m true 2>/dev/null; then
  # In a mount namespace of its own, GoogleTest's headers and CMake files
  # are covered by empty directories: the build cannot find it.
  echo "convert: scripts/convert.sh through a link, with GoogleTest hidden"
  hide=""
  for dir in /usr/include/gtest /usr/lib/*/cmake/GTest /usr/src/googletest; do
    [ -d "$dir" ] && hide+="mount -t tmpfs none '$dir'; "
  done
  convert=(unshare -m sh -c "${hide}[ ! -e /usr/include/gtest/gtest.h ] && exec \"\$0\"" "$work/bin/convert")
else
  echo "convert: scripts/convert.sh through a link (not root: GoogleTest not hidden)"
fi
status=0
(cd "$work/out" && "${convert[@]}" >"$work/report" 2>"$work/log") || status=$?
cat "$work/log"
[ "$status" = 0 ] || fail "scripts/convert.sh exited with $status"
grep -q "Built target irwav-play" "$work/log" || fail "the build's progress was not shown"
if grep -qiE '^gtest' build/release/CMakeCache.txt; then fail "the release build looked for GoogleTest"; fi
[ -x build/release/src/irwav-play ] || fail "irwav-play was not built"

[ "$(head -1 "$work/report")" = "Max carrier frequency: 43636 Hz" ] ||
  fail "standard output is not irwav's report: $(head -3 "$work/report")"
count=$(find "$work/out" -maxdepth 1 -name '*.wav' | wc -l)
[ "$count" = 48 ] || fail "$count WAV files in the caller's directory, not 48"
echo "convert: 48 files in the caller's directory; report on standard output alone"

(cd "$work/out" && python3 "$top/scripts/waveform_svg.py" "  0_sony.wav" 40000) >"$work/waveform.svg"
cmp -s "$work/waveform.svg" docs/images/waveform.svg ||
  fail "docs/images/waveform.svg is not what the converter's file makes: run scripts/pictures.sh"
echo "convert: docs/images/waveform.svg is the picture of the converter's \"  0_sony.wav\""
