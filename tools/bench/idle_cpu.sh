#!/usr/bin/env bash
# Processor time of the program and of the bare window (two 1 ms timers) over 10 s of idling,
# read from /proc, since Wine does not answer GetProcessTimes for another process.
# Run inside a Wine session after a build:
#   tools/wine-session.sh tools/bench/idle_cpu.sh 1000 10000
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$root/build/win32
ticks=$(getconf CLK_TCK)

# The process running this Windows program from this directory.
program_pid() {  # exe dir
  local p
  for p in $(pgrep -f "$1"); do
    if [ "$(readlink "/proc/$p/cwd")" = "$2" ]; then echo "$p"; return; fi
  done
}

cpu_ms() {  # pid
  awk -v t="$ticks" '{ print int(($14 + $15) * 1000 / t) }' "/proc/$1/stat"
}

measure() {  # program entries
  local dir exe
  dir=$(mktemp -d)
  exe=$(basename "$1")
  cp "$1" "$dir/"
  for ((i = 0; i < $2; i++)); do printf 'entry %d\r\n' "$i"; done > "$dir/bugaun.txt"
  (cd "$dir" && wine "./$exe" >/dev/null 2>&1 &)
  sleep 20  # started, loaded and settled
  local pid before after
  pid=$(program_pid "$exe" "$dir")
  before=$(cpu_ms "$pid")
  sleep 10
  after=$(cpu_ms "$pid")
  kill "$pid"
  sleep 2
  rm -rf "$dir"
  echo $((after - before))
}

for entries in "${@:-1000}"; do
  app=$(measure "$bin/tallyleaf.exe" "$entries")
  bare=$(measure "$bin/tools/bench/bare_window.exe" 0)
  echo "processor time over 10 s idle, $entries entries: tallyleaf $app ms, bare window $bare ms"
done
