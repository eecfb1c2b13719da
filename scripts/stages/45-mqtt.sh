#!/usr/bin/env bash
# irwav-mqtt against a real broker: Debian's mosquitto, started by the test
# on 127.0.0.1 with its own configuration, a password file and a TLS
# listener whose CA the test makes with openssl. The daemon plays into ALSA's
# file plugin, and what reached the device is compared sample for sample with
# irwav-play --output of the same signal (tests/mqtt_e2e.py says what is
# checked). Builds the default preset's programs.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh

need_packages_or_skip cmake g++ libasound2-dev libasound2-data libmosquitto-dev nlohmann-json3-dev \
  mosquitto mosquitto-clients openssl python3

cmake --preset default >/dev/null
cmake --build --preset default --target irwav-mqtt irwav-play
if [ ! -x build/default/src/irwav-mqtt ]; then
  echo "mqtt: irwav-mqtt was not built, though its libraries are installed" >&2
  exit 1
fi
python3 tests/mqtt_e2e.py build/default/src
