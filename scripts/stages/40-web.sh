#!/usr/bin/env bash
# The web page: builds irwav.html with Emscripten, opens it from file:// in
# headless Chromium (driven by playwright-core from npm, with the system's
# Chromium) and checks it against the native programs' files, byte for byte.
# Leaves a phone-sized screenshot in build/web/irwav-page.png.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh

need_packages_or_skip cmake g++ emscripten chromium
# npm comes with some builds of Node.js, and from Debian's package otherwise.
command -v npm >/dev/null || need_packages_or_skip npm

echo "web: building irwav.html"
cmake --preset web >/dev/null
cmake --build --preset web
echo "web: irwav.html is $(stat -c %s build/web/irwav.html) bytes"

# playwright-core as the committed lock file pins it; nothing else is
# downloaded (it drives the system's Chromium).
tests=web/tests
(cd "$tests" && npm ci --no-audit --no-fund --loglevel=error) ||
  skip_stage "cannot install playwright-core from npm"

# The native programs' files to compare with.
cmake --preset default >/dev/null
cmake --build --preset default --target irwav irwav-play
native=$(cd build/default/src && pwd)
reference=$(mktemp -d)
trap 'rm -rf "$reference"' EXIT
(cd "$reference" && "$native/irwav" >/dev/null)
"$native/irwav-play" --rate 96000 --output "$reference/rca-96k.wav" rca >/dev/null
"$native/irwav-play" --brand sony --output "$reference/sequence-sony.wav" >/dev/null
"$native/irwav-play" --brand all --output "$reference/sequence-all.wav" >/dev/null
bad_pronto="0000 006D 0002 0000 0158 00AC 0015 zz"
echo "$bad_pronto" >"$reference/bad-pronto.txt"
if "$native/irwav-play" --output "$reference/bad.wav" --pronto "$bad_pronto" \
  2>"$reference/error-pronto.txt" >/dev/null; then
  echo "web: irwav-play took a bad Pronto code" >&2
  exit 1
fi

node "$tests/page.test.mjs" build/web/irwav.html "$reference" build/web/irwav-page.png
echo "web: screenshot in build/web/irwav-page.png"
