#!/usr/bin/env bash
# The web page: builds irwav.html and the site with Emscripten, opens the
# page from file:// and the site from a local HTTP server in headless
# Chromium and headless Firefox (both the system's, driven by puppeteer-core
# from npm: Chromium over its DevTools protocol, Firefox over WebDriver
# BiDi) at a phone's size, and checks what it plays and saves against the
# native programs' files, byte for byte. Leaves screenshots of the three
# views, light and dark, in build/web/screens/ (docs/images/ keeps copies).
# Firefox plays sound only into a sound server: the stage starts a private
# PulseAudio server with a null sink for it.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh

need_packages_or_skip cmake g++ emscripten chromium firefox-esr pulseaudio pulseaudio-utils nlohmann-json3-dev
# npm comes with some builds of Node.js, and from Debian's package otherwise.
command -v npm >/dev/null || need_packages_or_skip npm

echo "web: building irwav.html"
cmake --preset web >/dev/null
cmake --build --preset web
echo "web: irwav.html is $(stat -c %s build/web/irwav.html) bytes; the site is in build/web/site"

# cmake --install puts the page and the site under the prefix, not into
# Emscripten's sysroot.
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' build/web/CMakeCache.txt)
case "$prefix" in
  *emscripten*) echo "web: FAILED: the install prefix is Emscripten's: $prefix" >&2; exit 1 ;;
esac
staged=$(mktemp -d)
DESTDIR="$staged" cmake --install build/web >/dev/null
for file in irwav.html site/index.html site/sw.js site/manifest.webmanifest site/icon-192.png; do
  [ -f "$staged$prefix/share/irwav/$file" ] || { echo "web: FAILED: cmake --install did not put $file under $prefix/share/irwav" >&2; exit 1; }
done
rm -rf "$staged"
echo "web: cmake --install puts the page and the site in $prefix/share/irwav"

# puppeteer-core as the committed lock file pins it; nothing else is
# downloaded (it drives the system's browsers).
tests=web/tests
(cd "$tests" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error) ||
  skip_stage "cannot install puppeteer-core from npm"

# The native programs' files to compare with.
cmake --preset default >/dev/null
cmake --build --preset default --target irwav irwav-play
native=$(cd build/default/src && pwd)
reference=$(mktemp -d)
pa_pid=
cleanup() {
  [ -n "$pa_pid" ] && kill "$pa_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$reference"
}
trap cleanup EXIT
(cd "$reference" && "$native/irwav" >/dev/null)
"$native/irwav-play" --rate 96000 --output "$reference/rca-96k.wav" rca >/dev/null
"$native/irwav-play" --brand sony --output "$reference/sequence-sony.wav" >/dev/null
"$native/irwav-play" --brand all --output "$reference/sequence-all.wav" >/dev/null
"$native/irwav-play" --brand all --rate 192000 --output "$reference/sequence-all-192k.wav" >/dev/null
for rate in 44100 48000 96000; do
  "$native/irwav-play" --rate "$rate" --output "$reference/sony-$rate.wav" sony >/dev/null
done
# A few families' keys, pressed and held, as the remote sends them (where
# the player has the key table; page.test.mjs says when it has none).
if "$native/irwav-play" --keys necx2:7.7 >/dev/null 2>&1; then
  for key in necx2:7.7:volume_up nec1:4:mute sony12:1:channel_up rc5:0:volume_down; do
    family=${key%:*}
    "$native/irwav-play" --output "$reference/key $family ${key##*:}.wav" --code "$key" >/dev/null
  done
  "$native/irwav-play" --output "$reference/key necx2:7.7 volume_up 1500.wav" --hold 1500 \
    --code necx2:7.7:volume_up >/dev/null
fi
bad_pronto="0000 006D 0002 0000 0158 00AC 0015 zz"
echo "$bad_pronto" >"$reference/bad-pronto.txt"
if "$native/irwav-play" --output "$reference/bad.wav" --pronto "$bad_pronto" \
  2>"$reference/error-pronto.txt" >/dev/null; then
  echo "web: irwav-play took a bad Pronto code" >&2
  exit 1
fi

# A sound server for Firefox, which plays nothing without one (a phone
# always has its sound): private to this stage, its sink a null sink.
start_null_sink_server "$reference" ||
  { echo "web: FAILED: the sound server for Firefox did not start" >&2; exit 1; }

mkdir -p build/web/screens
status=0
for engine in ${IRWAV_WEB_ENGINES:-chromium firefox}; do
  echo "web: the page in $engine"
  node "$tests/page.test.mjs" "$engine" build/web/irwav.html build/web/site "$reference" build/web/screens \
    "$native/irwav-play" || status=1
done
echo "web: screenshots in build/web/screens"
exit $status
