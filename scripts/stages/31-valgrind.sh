#!/usr/bin/env bash
# Runs the converter under valgrind's memcheck in an empty directory: any
# invalid access, use of uninitialised memory or leak fails the stage, as does
# a run that does not write its 48 files.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh

need_packages cmake g++ libgtest-dev valgrind

echo "valgrind: memcheck over one converter run in an empty temporary directory"
cmake --preset default >/dev/null
cmake --build --preset default --target irwav
irwav="$PWD/build/default/src/irwav"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
(cd "$work" && valgrind --quiet --error-exitcode=1 --leak-check=full \
  --errors-for-leak-kinds=definite,indirect,possible --track-origins=yes "$irwav" >/dev/null)
count=$(find "$work" -maxdepth 1 -name '*.wav' | wc -l)
if [ "$count" -ne 48 ]; then
  echo "valgrind: expected 48 WAV files, found $count" >&2
  exit 1
fi
echo "valgrind: clean, 48 files written"
