#!/usr/bin/env bash
# The set-up's apt steps against a stand-in apt-get that fails the way a mirror in mid-sync does:
# the update fails on one suite's index, and an install fails on a version skew unless that suite's
# priority is lowered. Each case names what the stand-in does and what the steps must end with.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"

# The stand-in: behaviour from STANDIN_UPDATE (ok, sync: fail every time, once: fail once) and
# STANDIN_INSTALL (ok, skew: fail unless a preferences file lowers bookworm-security); every call
# is appended to $work/calls, with the preferences it was given.
cat > "$work/bin/apt-get" <<'STANDIN'
#!/usr/bin/env bash
calls=$STANDIN_DIR/calls
prefs=""
for a in "$@"; do case $a in Dir::Etc::Preferences=*) prefs=$(cat "${a#*=}");; esac; done
case " $* " in
  *" update "*)
    echo "update" >> "$calls"
    tries=$(grep -c '^update' "$calls")
    if [ "$STANDIN_UPDATE" = sync ] || { [ "$STANDIN_UPDATE" = once ] && [ "$tries" = 1 ]; }; then
      echo "Err:6 http://deb.debian.org/debian-security bookworm-security/main i386 Packages"
      echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
      exit 100
    fi ;;
  *" install "*)
    echo "install ${prefs//$'\n'/ }" >> "$calls"
    if [ "$STANDIN_INSTALL" = skew ] && ! grep -q 'n=bookworm-security' <<<"$prefs"; then
      echo "libssl3:i386 : Depends: ... but 3.0.20 is to be installed" >&2
      exit 100
    fi ;;
esac
exit 0
STANDIN
chmod +x "$work/bin/apt-get"

log() { printf 'setup: %s\n' "$*" >&2; }
as_root() { "$@"; }
export PATH="$work/bin:$PATH" STANDIN_DIR=$work TALLYLEAF_APT_PAUSE=0
. "$here/tools/apt_steps.sh"

failures=0
# update behaviour | install behaviour | expected status | expected calls, one per line joined by ';'
while IFS='|' read -r update install status expected; do
  : > "$work/calls"
  export STANDIN_UPDATE=$update STANDIN_INSTALL=$install
  got_status=0
  (update_index && install_from_index wine32:i386) 2>"$work/log" || got_status=$?
  got=$(paste -sd';' "$work/calls" | sed 's/ *;/;/g; s/ *$//')
  if [ "$got_status" != "$status" ] || [ "$got" != "$expected" ]; then
    echo "FAIL update=$update install=$install: status $got_status (want $status), calls '$got' (want '$expected')"
    sed 's/^/    /' "$work/log"
    failures=$((failures + 1))
  fi
done <<'CASES'
ok|ok|0|update;install
once|ok|0|update;update;install
sync|ok|0|update;update;update;install
sync|skew|0|update;update;update;install;install Package: * Pin: release n=bookworm-security Pin-Priority: 100
ok|skew|1|update;install
CASES

echo "failed_suites of a mid-sync update: $(failed_suites "Err:6 http://x bookworm-security/main i386 Packages
E: Failed to fetch http://x/dists/bookworm-updates/main/binary-i386/Packages.xz" | paste -sd' ')" |
  grep -qx 'failed_suites of a mid-sync update: bookworm-security bookworm-updates' ||
  { echo "FAIL failed_suites"; failures=$((failures + 1)); }

[ "$failures" = 0 ] && echo "apt steps: all cases pass"
exit "$failures"
