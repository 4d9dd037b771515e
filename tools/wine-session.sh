#!/usr/bin/env bash
# Runs a command inside a Wine test session: a fresh copy of the template 32-bit prefix, a
# virtual X display, and a wineserver that is already up (so ctest does not wait on Wine's
# background services). Usage: wine-session.sh COMMAND [ARGS...]
# TALLYLEAF_LOGPIXELS=120 (or 144, ...) gives the session that system DPI: Wine reads it from the
# prefix's registry when the wineserver starts, so it is written into the copy before.
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
dpi=${TALLYLEAF_LOGPIXELS:-96}
if [ "$dpi" != 96 ]; then
  awk -v value="$(printf '"LogPixels"=dword:%08x' "$dpi")" '
    /^\[/ { desktop = ($0 == "[Control Panel\\\\Desktop]" || index($0, "[Control Panel\\\\Desktop] ") == 1)
            print; pending = desktop; next }
    pending && /^#time=/ { print; print value; pending = 0; next }
    pending { print value; pending = 0 }
    desktop && /^"LogPixels"=/ { next }
    { print }' "$prefix/user.reg" > "$prefix/user.reg.new"
  grep -qx "$(printf '"LogPixels"=dword:%08x' "$dpi")" "$prefix/user.reg.new" ||
    { echo "wine-session: no [Control Panel\\Desktop] in the prefix to set LogPixels in" >&2; exit 2; }
  mv "$prefix/user.reg.new" "$prefix/user.reg"
fi

export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all TALLYLEAF_SESSION=1 TALLYLEAF_SESSION_DPI=$dpi
unset LC_ALL
exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash -c '
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1 || true
  rc=0
  "$@" || rc=$?
  wineserver -k 2>/dev/null || true
  exit $rc
' wine-session "$@"
