#!/usr/bin/env bash
# Builds everything and runs the whole test suite: every stage in
# scripts/stages/, in name order, each under a header and with its time,
# then a summary table (stage, result, seconds, reason for a skip).
#
# The first stage builds the default preset and runs the unit tests; when
# it does not pass, nothing else runs. After any other stage, failed or
# not, the next one runs. Run as root, a stage installs the Debian packages
# it needs, saying which first; otherwise a stage whose packages are missing
# is skipped, with its reason, and does not fail the run. Under CI
# (CI=true), which runs as root, every stage must run: a skipped stage fails
# the run. The exit status is 0 when the run passed, 1 otherwise.
set -uo pipefail
cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.."

IRWAV_RUN_DIR="$(mktemp -d)"
export IRWAV_RUN_DIR
trap 'rm -rf "$IRWAV_RUN_DIR"' EXIT

stages=(scripts/stages/*.sh)
names=() results=() seconds=() reasons=()

# The first sentence of a stage's header comment, as its description.
describe() {
  sed -n '2,/^[^#]/p' "$1" | sed -n 's/^# \{0,1\}//p' | tr '\n' ' ' | sed 's/\. .*/./; s/ *$//'
}

# Runs one stage, showing its output as it comes, and records its result.
run_stage() {
  local stage=$1 name status started reason=""
  name="$(basename "$stage" .sh)"
  echo
  echo "==== stage ${name} ($((${#names[@]} + 1)) of ${#stages[@]})"
  echo "==== $(describe "$stage")"
  started=$SECONDS
  bash "$stage" 2>&1 | tee "$IRWAV_RUN_DIR/$name.log"
  status=${PIPESTATUS[0]}
  names+=("$name")
  seconds+=($((SECONDS - started)))
  case $status in
    0) results+=(passed) ;;
    77)
      results+=(skipped)
      reason="$(sed -n 's/^skipped: //p' "$IRWAV_RUN_DIR/$name.log" | tail -1)"
      reason="${reason:-no reason given}"
      ;;
    *)
      results+=(failed)
      reason="exit status $status"
      ;;
  esac
  reasons+=("$reason")
  echo "==== stage $name: ${results[-1]} in ${seconds[-1]} s${reason:+: $reason}"
}

for stage in "${stages[@]}"; do
  run_stage "$stage"
  if [ ${#names[@]} = 1 ] && [ "${results[0]}" != passed ]; then
    echo "==== the first stage did not pass: the other stages need its build, and do not run"
    break
  fi
done

echo
echo "==== summary"
printf '%-20s %-8s %7s  %s\n' stage result seconds reason
failed=0 skipped=0 total=0
for i in "${!names[@]}"; do
  printf '%-20s %-8s %7d  %s\n' "${names[$i]}" "${results[$i]}" "${seconds[$i]}" "${reasons[$i]}"
  total=$((total + seconds[i]))
  case ${results[$i]} in
    failed) failed=$((failed + 1)) ;;
    skipped) skipped=$((skipped + 1)) ;;
  esac
done
for stage in "${stages[@]:${#names[@]}}"; do
  printf '%-20s %-8s %7s  %s\n' "$(basename "$stage" .sh)" "not run" - "the first stage did not pass"
done
printf '%-20s %-8s %7d\n' total "" "$total"

not_run=$((${#stages[@]} - ${#names[@]}))
if [ "$failed" -gt 0 ] || [ "$not_run" -gt 0 ]; then
  echo "==== FAILED: $failed stage(s) failed, $not_run not run"
  exit 1
fi
if [ "$skipped" -gt 0 ] && [ "${CI:-}" = true ]; then
  echo "==== FAILED: under CI every stage must run, and $skipped were skipped"
  exit 1
fi
if [ "$skipped" -gt 0 ]; then
  echo "==== passed, $skipped stage(s) skipped"
else
  echo "==== passed"
fi
