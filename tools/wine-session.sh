#!/usr/bin/env bash
# Runs a command inside a Wine test session: a fresh copy of the template 32-bit prefix, a
# virtual X display, and a wineserver that is already up (so ctest does not wait on Wine's
# background services). Usage: wine-session.sh COMMAND [ARGS...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${TALLYLEAF_CACHE:-$HOME/.cache/tallyleaf}
prefix=${TALLYLEAF_PREFIX:-$root/build/wineprefix}

if [ ! -f "$cache/wineprefix/.tallyleaf-ready" ]; then
  echo "wine-session: no template prefix; run tools/setup.sh first" >&2
  exit 2
fi
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
cp -a "$cache/wineprefix" "$prefix"

export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all TALLYLEAF_SESSION=1
unset LC_ALL
exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash -c '
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1 || true
  rc=0
  "$@" || rc=$?
  wineserver -k 2>/dev/null || true
  exit $rc
' wine-session "$@"
