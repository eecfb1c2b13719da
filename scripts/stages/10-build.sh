#!/usr/bin/env bash
# The build and the unit tests: the default preset (Release, with the unit
# and end-to-end tests) is configured, built and tested. The later stages
# use this build, so when it does not pass nothing else runs.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh

# Live playback: ALSA headers and library, and its runtime configuration.
need_packages_or_skip cmake g++ libgtest-dev libasound2-dev libasound2-data nlohmann-json3-dev libmosquitto-dev

cmake --preset default
cmake --build --preset default
ctest --preset default
