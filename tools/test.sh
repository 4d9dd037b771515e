#!/usr/bin/env bash
# Builds everything and runs every test: host tests, fuzzers, Windows tests and end-to-end
# tests under Wine in a virtual display. Ends with ctest's summary line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/build.sh"
exec "$root/tools/wine-session.sh" ctest --test-dir "$root/build" --output-on-failure -j"$(nproc)" "$@"
