#!/usr/bin/env bash
# Builds irwav and irwav-play (the release preset: no tests, so no
# GoogleTest needed) and runs irwav in the directory this script is called
# from, so the WAV files land there. Works from any directory and through a
# symbolic link. The build's progress goes to standard error; standard
# output carries irwav's report alone.
set -euo pipefail
here=$PWD
top="$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.." && pwd)"

for tool in cmake c++; do
  if ! command -v "$tool" >/dev/null; then
    echo "convert: $tool is missing; on Debian or Ubuntu: sudo apt-get install cmake g++ libasound2-dev" >&2
    exit 1
  fi
done

cd "$top"
echo "convert: configuring build/release" >&2
if ! log="$(cmake --preset release 2>&1)"; then
  echo "$log" >&2
  exit 1
fi
# The configure's own line on live playback: with ALSA or without.
grep "irwav: live playback" <<<"$log" | sed 's/^-- /convert: /' >&2 || true
echo "convert: building irwav and irwav-play" >&2
cmake --build --preset release >&2
echo "convert: running irwav in $here (irwav-play is $top/build/release/src/irwav-play)" >&2
cd "$here"
exec "$top/build/release/src/irwav" "$@"
