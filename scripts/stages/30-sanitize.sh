#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs the whole test suite under them; any report fails the test it occurs in.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh

need_packages_or_skip cmake g++ libgtest-dev nlohmann-json3-dev

echo "sanitize: configure, build and test the 'sanitize' preset (ASan + UBSan)"
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize
