# Helpers shared by the build and test scripts.
#
# The stages' convention: a stage in scripts/stages/ that cannot run prints
# one line "skipped: <reason>" and exits with status 77 (skip_stage does
# both); scripts/test.sh then reports it as skipped, with that reason.

# Installs the named Debian packages that are missing, when running as
# root: it says first what it installs, and waits for a dpkg lock that
# another apt-get holds. Returns non-zero when some are missing and cannot
# be installed; the reason is then in $packages_missing_reason (apt-get's
# own errors go to standard error).
need_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    packages_missing_reason="missing packages ${missing[*]} (not root, so not installed: sudo apt-get install ${missing[*]})"
    return 1
  fi
  echo "installing with apt-get: ${missing[*]}"
  local apt=(apt-get -qq -o DPkg::Lock::Timeout=600)
  # One package list update a run: scripts/test.sh shares a directory with
  # its stages for the mark.
  local updated="${IRWAV_RUN_DIR:-/nonexistent}/apt-updated"
  if [ ! -e "$updated" ]; then
    if ! "${apt[@]}" update; then
      packages_missing_reason="missing packages ${missing[*]} (apt-get update failed)"
      return 1
    fi
    [ -n "${IRWAV_RUN_DIR:-}" ] && touch "$updated"
  fi
  if ! DEBIAN_FRONTEND=noninteractive "${apt[@]}" install -y --no-install-recommends "${missing[@]}" >/dev/null; then
    packages_missing_reason="missing packages ${missing[*]} (apt-get install failed)"
    return 1
  fi
}

# Ends a stage as skipped, for the reason given.
skip_stage() {
  echo "skipped: $*"
  exit 77
}

# Installs the named packages where they are missing (see need_packages),
# or ends the stage as skipped when they cannot be installed.
need_packages_or_skip() {
  need_packages "$@" || skip_stage "$packages_missing_reason"
}

# Starts a private PulseAudio server whose default sink is a null sink
# named "irwav" (48000 Hz, 2 channels, s16le), its runtime files in DIR
# (XDG_RUNTIME_DIR and PULSE_RUNTIME_PATH are exported there, so that the
# stage's programs find it). Sets $pa_pid to the server's process; the
# caller stops it. Returns non-zero, with the server log's last lines on
# standard error, when it does not answer within ten seconds.
start_null_sink_server() {
  local dir=$1
  export XDG_RUNTIME_DIR=$dir/run PULSE_RUNTIME_PATH=$dir/run/pulse
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  cat > "$dir/server.pa" <<'PA'
load-module module-null-sink sink_name=irwav rate=48000 channels=2 format=s16le
load-module module-native-protocol-unix
set-default-sink irwav
PA
  pulseaudio -n -F "$dir/server.pa" --daemonize=no --exit-idle-time=-1 --disallow-exit \
    --log-target=file:"$dir/server.log" &
  pa_pid=$!
  local _
  for _ in $(seq 50); do
    pactl info >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  tail -5 "$dir/server.log" >&2 || true
  return 1
}
