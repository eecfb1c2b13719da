#!/usr/bin/env bash
# Builds the libFuzzer target with clang++ (ASan + UBSan) and runs it for a
# fixed number of inputs, starting from the seed corpus in fuzz/corpus/. Any
# crash, sanitizer report, failed check, timeout or memory blow-up fails the
# stage; the input that caused it is kept in build/fuzz/findings/.
# FUZZ_RUNS overrides the number of inputs (default: about a minute here).
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh

need_packages cmake clang libclang-rt-14-dev

runs="${FUZZ_RUNS:-200000}"
echo "fuzz: build the 'fuzz' preset (clang++, libFuzzer, ASan + UBSan)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

echo "fuzz: irwav_render_fuzzer for $runs inputs from fuzz/corpus/render"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
findings="$PWD/build/fuzz/findings"
mkdir -p "$findings"
# The seeds are copied so that what the run adds stays out of the repository.
mkdir "$work/corpus"
cp fuzz/corpus/render/* "$work/corpus/"
status=0
build/fuzz/fuzz/irwav_render_fuzzer -seed=1 -runs="$runs" -max_len=520 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" "$work/corpus" \
  >"$work/log" 2>&1 || status=$?
# The progress lines and the suggested dictionary are left out.
grep -vE '^#[0-9]+ +(NEW|REDUCE|pulse)|^"|dictionary' "$work/log" | tail -60
if [ "$status" -ne 0 ]; then
  echo "fuzz: finding (exit $status); the input is in $findings" >&2
  exit 1
fi
echo "fuzz: no findings"
