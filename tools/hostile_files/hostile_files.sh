#!/usr/bin/env bash
# Runs the hostile-files cases in a Wine session. Run as root, a file without read permission
# would still be read, so the session runs without the permission override.
#   tools/hostile_files/hostile_files.sh [case ...]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
exe=$root/build/win32/tools/hostile_files/hostile_files.exe
[ -x "$exe" ] || { echo "no $exe: run tools/build.sh first"; exit 2; }
drop=()
if [ "$(id -u)" -eq 0 ]; then drop=(setpriv --bounding-set=-dac_override,-dac_read_search --); fi
exec "${drop[@]}" "$root/tools/wine-session.sh" wine "$exe" "$@"
