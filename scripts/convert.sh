#!/usr/bin/env bash
# Builds irwav and runs it in the directory this script is called from, so the
# WAV files land there.
set -euo pipefail
here=$PWD
top="$(cd "$(dirname "$0")/.." && pwd)"
(cd "$top" && cmake --preset default >/dev/null && cmake --build --preset default --target irwav >/dev/null)
cd "$here"
exec "$top/build/default/src/irwav" "$@"
