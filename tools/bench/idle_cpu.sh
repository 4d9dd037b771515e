#!/usr/bin/env bash
# Processor time of the program and of the bare window (two 1 ms timers) over 10 s of idling,
# read from /proc, since Wine does not answer GetProcessTimes for another process. With
# IDLE_POINTER=over the pointer rests on each window while it idles (the program's auto-shrink
# keeps it expanded), with IDLE_POINTER=away in a corner far from it (the program stays a strip).
# The third figure is the bare window whose tick also reads the pointer, as auto-shrink must.
# Run inside a Wine session after a build:
#   tools/wine-session.sh tools/bench/idle_cpu.sh 1000 10000
#   IDLE_POINTER=over tools/wine-session.sh tools/bench/idle_cpu.sh 1000 10000
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$root/build/win32
ticks=$(getconf CLK_TCK)
pointer=${IDLE_POINTER:-}

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

place_pointer() {  # window title
  case "$pointer" in
    over)
      local id
      id=$(xdotool search --onlyvisible --name "^$1\$" | head -1)
      xdotool mousemove --window "$id" 20 20
      ;;
    away) xdotool mousemove 1000 750 ;;
  esac
}

measure() {  # program entries title
  local dir exe
  dir=$(mktemp -d)
  exe=$(basename "$1")
  cp "$1" "$dir/"
  for ((i = 0; i < $2; i++)); do printf 'entry %d\r\n' "$i"; done > "$dir/bugaun.txt"
  (cd "$dir" && wine "./$exe" >/dev/null 2>&1 &)
  sleep 15  # started and loaded
  place_pointer "$3"
  sleep 5  # settled
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
  app=$(measure "$bin/tallyleaf.exe" "$entries" Tallyleaf)
  bare=$(measure "$bin/tools/bench/bare_window.exe" 0 BareWindow)
  reading=$(measure "$bin/tools/bench/bare_window_pointer.exe" 0 BareWindow)
  echo "processor time over 10 s idle, $entries entries${pointer:+, pointer $pointer}: tallyleaf $app ms, bare window $bare ms," \
    "bare window reading the pointer on each tick $reading ms"
done
