# Helpers shared by the build and test scripts.

# Installs the named Debian packages that are missing, when running as root.
# Returns non-zero when some are missing and cannot be installed.
need_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages (not root, not installing): ${missing[*]}" >&2
    return 1
  fi
  if [ -z "${IRWAV_APT_UPDATED:-}" ]; then
    apt-get update -qq
    export IRWAV_APT_UPDATED=1
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
