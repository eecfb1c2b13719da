#!/usr/bin/env bash
# Builds everything and runs the whole test suite: the Release build and its
# tests first, then every further stage in scripts/stages/, in name order.
# Run as root, it installs what the stages need from Debian's archive.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

need_packages cmake g++ libgtest-dev
# Live playback: ALSA headers and library, and its runtime configuration.
need_packages libasound2-dev libasound2-data

cmake --preset default
cmake --build --preset default
ctest --preset default

for stage in scripts/stages/*.sh; do
  [ -e "$stage" ] || continue
  echo "== stage $(basename "$stage" .sh)"
  bash "$stage"
done
