#!/usr/bin/env bash
# Builds Tallyleaf and starts it: on your display when there is one; otherwise in a virtual
# display, where it leaves a screenshot and prints its path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/build.sh" program >/dev/null
exe=$root/build/win32/tallyleaf.exe
cache=${TALLYLEAF_CACHE:-$HOME/.cache/tallyleaf}
export WINEPREFIX=${WINEPREFIX:-$root/build/run-prefix} WINEDEBUG=-all
[ -d "$WINEPREFIX" ] || cp -a "$cache/wineprefix" "$WINEPREFIX"

if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
  cd "$(dirname "$exe")" && exec wine "$exe"
fi

shot=$root/build/screenshot.png
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  cd "$(dirname "$1")"
  wine "$1" &
  sleep 6
  /usr/bin/import -window root "$2"
  wineserver -k
' run "$exe" "$shot"
echo "Tallyleaf ran in a virtual display; screenshot: $shot"
