#!/usr/bin/env bash
# ctest's emulator for the Windows tree: runs one Windows program under Wine. Inside a test
# session (tools/wine-session.sh) it runs at once; outside one it starts a session of its own.
set -euo pipefail
if [ -z "${TALLYLEAF_SESSION:-}" ]; then
  exec "$(dirname "$0")/wine-session.sh" "$0" "$@"
fi
exec wine "$@"
