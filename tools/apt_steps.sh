# The set-up's two steps through apt, made to survive a registry caught mid-sync. Sourced by
# tools/setup.sh (and by its test, with a stand-in apt-get first on PATH); uses its log and as_root.
#
# A mirror that is syncing serves one architecture's index of one suite with the wrong size:
# "apt-get update" then fails although every other index is fresh. The update is tried a few
# times and, when it still fails, the set-up goes on with what it has and remembers the suites
# whose index did not come. Installing the 32-bit half of a library whose 64-bit half came from
# such a suite then fails on a version skew; lowering that suite's priority for the one install
# lets apt take both halves from the suites that agree.

apt_update_tries=${TALLYLEAF_APT_TRIES:-3}
apt_retry_pause=${TALLYLEAF_APT_PAUSE:-10}
lagging_suites=()

# The suites named by the failures in apt-get update's output ("Err:6 http://… bookworm-security/main
# i386 Packages" or "… /dists/bookworm-security/main/binary-i386/Packages.xz …"), once each.
failed_suites() {
  awk '/^Err:/ { split($3, part, "/"); print part[1] }
       match($0, /\/dists\/[^\/ ]+\//) { print substr($0, RSTART + 7, RLENGTH - 8) }' <<<"$1" | sort -u
}

update_index() {
  local attempt output
  for ((attempt = 1; attempt <= apt_update_tries; attempt++)); do
    if output=$(as_root apt-get update -q 2>&1); then
      lagging_suites=()
      return 0
    fi
    mapfile -t lagging_suites < <(failed_suites "$output")
    log "package index update failed (try $attempt of $apt_update_tries; suites: ${lagging_suites[*]:-unknown})"
    ((attempt < apt_update_tries)) && sleep "$apt_retry_pause"
  done
  log "going on with a partial package index"
  return 0
}

# Installs the packages; when that fails while some suite's index is missing, installs again with
# that suite's priority lowered for this one command.
install_from_index() {
  local install=(apt-get install -y -q --no-install-recommends "$@")
  if DEBIAN_FRONTEND=noninteractive as_root "${install[@]}"; then return 0; fi
  [ ${#lagging_suites[@]} -gt 0 ] || return 1
  local preferences suite
  preferences=$(mktemp)
  for suite in "${lagging_suites[@]}"; do
    printf 'Package: *\nPin: release n=%s\nPin-Priority: 100\n\n' "$suite" >> "$preferences"
  done
  log "installing again with the lagging suites' priority lowered: ${lagging_suites[*]}"
  local status=0
  DEBIAN_FRONTEND=noninteractive as_root apt-get -o "Dir::Etc::Preferences=$preferences" \
    "${install[@]:1}" || status=$?
  rm -f "$preferences"
  return "$status"
}
