#!/usr/bin/env bash
# Remakes docs/images/waveform.svg, the README's picture of the start of a
# burst, from the file the converter writes for code 0 ("sony", 40000 Hz).
# docs/images/emitter.svg is drawn by hand and left as it is.
set -euo pipefail
top="$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
(cd "$work" && "$top/scripts/convert.sh" >/dev/null)
(cd "$work" && python3 "$top/scripts/waveform_svg.py" "  0_sony.wav" 40000) >"$top/docs/images/waveform.svg"
echo "pictures: wrote docs/images/waveform.svg"
