#!/usr/bin/env bash
# Builds the libFuzzer targets with clang++ (ASan + UBSan) and runs each for
# a fixed number of inputs, starting from its seed corpus in fuzz/corpus/:
# about a minute in all. Any crash, sanitizer report, failed check, timeout
# or memory blow-up fails the stage; the input that caused it is kept in
# build/fuzz/findings/. An input may take 10 s, an IRP one second: any IRP
# text of up to 4 KiB ends, rendered or refused, within that. FUZZ_RUNS_RENDER, FUZZ_RUNS_ARGS, FUZZ_RUNS_CODES,
# FUZZ_RUNS_IRP and FUZZ_RUNS_IR_FILE override the numbers of inputs.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh

need_packages_or_skip cmake clang libclang-rt-14-dev

echo "fuzz: build the 'fuzz' preset (clang++, libFuzzer, ASan + UBSan)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
findings="$PWD/build/fuzz/findings"
mkdir -p "$findings"

# run_fuzzer NAME CORPUS RUNS MAX_LEN [SECONDS_PER_INPUT]
run_fuzzer() {
  local name=$1 corpus=$2 runs=$3 maxLen=$4 timeout=${5:-10} status=0
  echo "fuzz: $name for $runs inputs from fuzz/corpus/$corpus"
  # The seeds are copied so that what the run adds stays out of the repository.
  mkdir "$work/$corpus"
  cp "fuzz/corpus/$corpus"/* "$work/$corpus/"
  "build/fuzz/fuzz/$name" -seed=1 -runs="$runs" -max_len="$maxLen" -timeout="$timeout" \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" "$work/$corpus" \
    >"$work/$name.log" 2>&1 || status=$?
  # The progress lines ("#1024<TAB>pulse  cov: ...") and the suggested
  # dictionary are left out.
  grep -vE '^#[0-9]+[[:space:]]+(NEW|REDUCE|RELOAD|pulse)[[:space:]]|^"|dictionary' "$work/$name.log" | tail -60
  if [ "$status" -ne 0 ]; then
    echo "fuzz: $name found something (exit $status); the input is in $findings" >&2
    exit 1
  fi
}

run_fuzzer irwav_render_fuzzer render "${FUZZ_RUNS_RENDER:-150000}" 520
run_fuzzer irwav_player_args_fuzzer player_args "${FUZZ_RUNS_ARGS:-1000000}" 128
run_fuzzer irwav_ir_code_parsers_fuzzer ir_code_parsers "${FUZZ_RUNS_CODES:-1000000}" 512
run_fuzzer irwav_irp_fuzzer irp "${FUZZ_RUNS_IRP:-300000}" 4096 1
run_fuzzer irwav_ir_file_fuzzer ir_file "${FUZZ_RUNS_IR_FILE:-300000}" 2048
echo "fuzz: no findings"
