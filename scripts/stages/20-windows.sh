#!/usr/bin/env bash
# The Windows build: cross-compiles the programs and the tests with MinGW-w64,
# runs the tests under Wine, and holds the Windows converter's report and all
# its files against the Linux build's, byte for byte. Wine's audio goes out
# through ALSA, whose default device here is a file, so what the Windows
# programs hand the waveform-output device can be read back.
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$top"
source scripts/lib.sh

packages=(g++-mingw-w64-x86-64-posix wine wine64 googletest nlohmann-json3-dev)
started=$SECONDS
need_packages_or_skip "${packages[@]}"
echo "windows: MinGW-w64, Wine and GoogleTest sources ready ($((SECONDS - started)) s)"

fail() {
  echo "windows: FAILED: $*" >&2
  exit 1
}

work="$(mktemp -d)"
cleanup() {
  # Stop this prefix's wine server before its files go.
  WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A private Wine prefix and home: no display, no add-on installers, no
# messages from Wine itself, and an ALSA default device that writes what it
# is given into a file over the null device.
unset DISPLAY WAYLAND_DISPLAY
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" HOME="$work/home"
mkdir -p "$HOME"
capture="$work/capture.raw"
cat >"$HOME/.asoundrc" <<ALSA
pcm.!default {
  type file
  slave.pcm "null"
  file "$capture"
  format "raw"
}
ALSA

started=$SECONDS
wineboot -i >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >/dev/null 2>&1 ||
  fail "cannot set Wine's audio driver"
echo "windows: Wine prefix ready ($((SECONDS - started)) s)"

started=$SECONDS
echo "windows: building the windows preset"
cmake --preset windows >/dev/null
cmake --build --preset windows
echo "windows: built ($((SECONDS - started)) s)"
# Each program runs on its own: it needs no DLL of the compiler's runtime.
for exe in irwav.exe irwav-play.exe; do
  dlls="$(x86_64-w64-mingw32-objdump -p "build/windows/src/$exe" | awk '/DLL Name:/ {print $3}' | xargs)"
  if grep -qiE "libstdc|libgcc|libwinpthread" <<<"$dlls"; then fail "$exe needs the compiler's runtime: $dlls"; fi
  echo "windows: $exe imports only $dlls"
done

# Wine sets its audio devices up in a fresh prefix when a program first
# asks for one; two programs that do so at once can find none. One use of
# the device, alone, before the tests run side by side.
wine "$top/build/windows/tests/audio_output_winmm_test.exe" \
  --gtest_filter=WinmmTest.BlocksPlayInTurnAndComeBackDone >/dev/null 2>&1 || true

started=$SECONDS
echo "windows: running the unit tests under Wine"
ctest --preset windows | tee "$work/ctest.log"
# The device tests skip where there is no output device; here there is one.
if grep -E "Winmm.*Skipped" "$work/ctest.log"; then fail "the waveform-output tests found no device"; fi
echo "windows: unit tests done ($((SECONDS - started)) s)"

# The Linux converter, built by the default preset, is the reference.
cmake --build --preset default --target irwav >/dev/null
linux_irwav="$top/build/default/src/irwav"
windows_irwav="$top/build/windows/src/irwav.exe"

# Runs a command in directory $1 (created if need be); its output goes to
# $1.out and $1.err, and its exit status is echoed.
run_in() {
  local dir="$1" status=0
  mkdir -p "$dir"
  (cd "$dir" && "${@:2}" >"$dir.out" 2>"$dir.err") || status=$?
  echo "$status"
}

# Holds every WAV in $1 against the Linux file of the same name, except $2,
# and counts them in $compared. A difference is reported by file, byte
# offset and frame, and fails the stage.
compare_files() {
  local dir="$1" except="${2:-}" name
  compared=0
  for ref in "$work/linux"/*.wav; do
    name="$(basename "$ref")"
    [ "$name" = "$except" ] && continue
    [ -f "$dir/$name" ] || fail "$dir lacks \"$name\""
    if ! cmp -s "$ref" "$dir/$name"; then
      cmp -l "$ref" "$dir/$name" 2>&1 | head -5 | while read -r offset linux windows; do
        echo "  \"$name\" byte $offset (frame $(((offset - 45) / 4))): linux $linux, windows $windows (octal)" >&2
      done
      fail "\"$name\" differs from the Linux build's"
    fi
    compared=$((compared + 1))
  done
}

started=$SECONDS
[ "$(run_in "$work/linux" "$linux_irwav")" = 0 ] || fail "the Linux converter failed"
status="$(run_in "$work/windows" wine "$windows_irwav")"
echo "windows: irwav.exe under Wine ran in $((SECONDS - started)) s with both converters"
[ "$status" = 0 ] || fail "irwav.exe exited with $status: $(cat "$work/windows.err")"
[ ! -s "$work/windows.err" ] || fail "irwav.exe wrote to standard error: $(cat "$work/windows.err")"
# Standard output is in text mode on Windows: the report must be the Linux
# report with every line ended by CR LF instead of LF, and nothing else.
sed 's/$/\r/' "$work/linux.out" | cmp -s - "$work/windows.out" ||
  fail "the report differs: $(od -c "$work/windows.out" | head -20)"
[ "$(ls "$work/linux" | wc -l)" = 48 ] || fail "the Linux converter wrote $(ls "$work/linux" | wc -l) files, not 48"
diff <(ls -A "$work/linux") <(ls -A "$work/windows") >&2 || fail "the two converters wrote different file names"
compare_files "$work/windows"
echo "windows: report identical (CR LF line ends), $compared files identical byte for byte"

# A second run replaces the files; it does not append to them.
[ "$(run_in "$work/windows" wine "$windows_irwav")" = 0 ] || fail "irwav.exe failed on a re-run"
compare_files "$work/windows"
echo "windows: a re-run leaves $compared files identical"

# Runs irwav.exe in $1, where "$2" cannot be written, and checks that only
# that code failed: exit status 1, the same report, one line on standard
# error naming the file with the system's reason, every other file written.
expect_one_failure() {
  local dir="$1" name="$2" status
  status="$(run_in "$dir" wine "$windows_irwav")"
  [ "$status" = 1 ] || fail "with \"$name\" unwritable, irwav.exe exited with $status, not 1"
  cmp -s "$work/windows.out" "$dir.out" || fail "the report changed when \"$name\" failed"
  [ "$(wc -l <"$dir.err")" = 1 ] &&
    grep -qE "^irwav: cannot write \"$name\": [^ ].*"$'\r'"\$" "$dir.err" ||
    fail "unexpected standard error: $(od -c "$dir.err" | head)"
  [ "$(ls -A "$dir" | wc -l)" = 48 ] || fail "stray or missing files: $(ls -A "$dir")"
  compare_files "$dir" "$name"
}

# A file name already taken by a directory: the directory stays.
taken="  0_sony.wav"
mkdir -p "$work/fault/$taken"
expect_one_failure "$work/fault" "$taken"
[ -d "$work/fault/$taken" ] || fail "the directory \"$taken\" is gone"
echo "windows: a directory in the way: exit 1, $(tr -d '\r' <"$work/fault.err"); $compared other files identical"

# A file whose writes fail (Wine follows the link to a full device): the
# link stays, and no WAV is left under that name.
if [ -e /dev/full ]; then
  full="  2_panasonic.wav"
  mkdir -p "$work/full"
  ln -s /dev/full "$work/full/$full"
  expect_one_failure "$work/full" "$full"
  [ "$(readlink "$work/full/$full")" = /dev/full ] || fail "the link \"$full\" was replaced"
  echo "windows: writes failing: exit 1, $(tr -d '\r' <"$work/full.err"); $compared other files identical"
fi

# Names beyond any code page: the player takes its arguments as UTF-16, so
# each name reaches the file system as it was typed, and a second run
# replaces the file. Every file is the converter's sony file.
for name in "€uro.wav" "日本.wav" "€uro.wav"; do
  status="$(run_in "$work/names" env LC_ALL=C.UTF-8 wine "$top/build/windows/src/irwav-play.exe" --output "$name" sony)"
  [ "$status" = 0 ] || fail "irwav-play.exe --output $name exited with $status: $(cat "$work/names.err")"
  cmp -s "$work/names/$name" "$work/linux/  0_sony.wav" || fail "\"$name\" is not the sony file"
done
[ "$(ls -A "$work/names" | LC_ALL=C sort | xargs)" = "$(printf '%s\n' "日本.wav" "€uro.wav" | LC_ALL=C sort | xargs)" ] ||
  fail "the names came out as: $(ls -A "$work/names" | od -c | head)"
echo "windows: irwav-play.exe --output wrote \"€uro.wav\" and \"日本.wav\" under exactly those names"

# Live playback: what irwav-play.exe hands the waveform-output device comes
# out of Wine's ALSA driver into the capture file. It must be the sample data
# of the converter's file for the same code; Wine may pad the device's last
# period with silence after it.
rm -f "$capture"
status="$(run_in "$work/play" wine "$top/build/windows/src/irwav-play.exe" sony)"
[ "$status" = 0 ] || fail "irwav-play.exe sony exited with $status: $(cat "$work/play.err" "$work/play.out")"
[ -f "$capture" ] || fail "irwav-play.exe sony handed nothing to the audio device"
data="$work/sony.data"
tail -c +45 "$work/linux/  0_sony.wav" >"$data"
data_bytes=$(stat -c %s "$data")
capture_bytes=$(stat -c %s "$capture")
padding=$((capture_bytes - data_bytes))
[ "$padding" -ge 0 ] || fail "the device got $capture_bytes bytes, less than the $data_bytes of the file"
cmp -s -n "$data_bytes" "$data" "$capture" ||
  fail "the device got other samples than \"  0_sony.wav\" holds: $(cmp -n "$data_bytes" "$data" "$capture")"
# At most 100 ms (19200 bytes) of padding, all of it silence.
[ "$padding" -le 19200 ] || fail "$padding bytes followed the code on the device"
[ -z "$(tail -c +$((data_bytes + 1)) "$capture" | tr -d '\000' | head -c 1)" ] ||
  fail "sound followed the code on the device"
echo "windows: irwav-play.exe sony handed the device the $data_bytes data bytes of \"  0_sony.wav\" (then $padding bytes of Wine's silence)"
[ ! -s "$work/play.err" ] || fail "irwav-play.exe wrote to standard error: $(cat "$work/play.err")"
# Its report is the Linux player's, line for line, where that one can play.
cmake --build --preset default --target irwav-play >/dev/null
if [ "$(run_in "$work/linux-play" "$top/build/default/src/irwav-play" sony)" = 0 ]; then
  sed 's/$/\r/' "$work/linux-play.out" | cmp -s - "$work/play.out" ||
    fail "the players' reports differ: $(od -c "$work/play.out" | head)"
  echo "windows: irwav-play.exe reported as the Linux player: $(tr -d '\r' <"$work/play.out")"
elif grep -q "no audio device" "$work/linux-play.err"; then
  echo "windows: the Linux player has no audio device in this build: reports not compared"
else
  fail "the Linux player failed: $(cat "$work/linux-play.err")"
fi

echo "windows: stage passed"
