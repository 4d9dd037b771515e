#!/usr/bin/env bash
# Runs the hostile-files cases in a Wine session. The unreadable entry file is made here (Wine
# cannot take a file's read permission away); run as root, the session runs without root's
# permission override, which would read it anyway.
#   tools/hostile_files/hostile_files.sh [case ...]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
exe=$root/build/win32/tools/hostile_files/hostile_files.exe
[ -x "$exe" ] || { echo "no $exe: run tools/build.sh first"; exit 2; }
# The program asks for permission changes through a request file: "MODE PATH".
request=$root/build/hostile/chmod-request
mkdir -p "$(dirname "$request")"
rm -f "$request"
( while :; do
    if [ -f "$request" ]; then read -r mode path < "$request"; chmod "$mode" "$path"; rm -f "$request"; fi
    sleep 0.1
  done ) &
watcher=$!
trap 'kill $watcher' EXIT
export TL_CHMOD_REQUEST="Z:${request//\//\\}"
drop=()
if [ "$(id -u)" -eq 0 ]; then drop=(setpriv --bounding-set=-dac_override,-dac_read_search --); fi
"${drop[@]}" "$root/tools/wine-session.sh" wine "$exe" "$@"
