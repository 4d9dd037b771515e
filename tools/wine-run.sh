#!/usr/bin/env bash
# ctest's emulator for the Windows tree: runs one Windows program under Wine. Inside a test
# session (tools/wine-session.sh) it runs at once. Outside one it starts a session of its own in
# a prefix of its own, so that tests run in parallel never share or delete each other's prefix.
# A test that asks for another system DPI (TALLYLEAF_LOGPIXELS) than the session's also gets a
# session of its own: the DPI is fixed when a session's wineserver starts.
set -euo pipefail
if [ -z "${TALLYLEAF_SESSION:-}" ] || [ "${TALLYLEAF_LOGPIXELS:-96}" != "${TALLYLEAF_SESSION_DPI:-96}" ]; then
  build=$(cd "$(dirname "$0")/.." && pwd)/build
  mkdir -p "$build"
  own=$(mktemp -d "$build/wine-run.XXXXXX")
  trap 'rm -rf "$own"' EXIT
  rc=0
  TALLYLEAF_PREFIX=$own/prefix "$(dirname "$0")/wine-session.sh" "$0" "$@" || rc=$?
  exit $rc
fi
exec wine "$@"
