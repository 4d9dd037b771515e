#!/usr/bin/env bash
# Processor time over 10 s of idling, read from /proc, since Wine does not answer GetProcessTimes
# for another process: the program against the same main window written by hand
# (tools/bench/hand_written.cpp, the same two 1 ms timers and the same files), in IDLE_PAIRS
# interleaved pairs (3 unless told), as medians with their range and the median of the per-pair
# ratios program / hand-written. The bare window (two 1 ms timers doing nothing) and the bare
# window whose tick also reads the pointer, as auto-shrink must, are a second reference, measured
# once. With IDLE_POINTER=over the pointer rests on each window while it idles (auto-shrink keeps
# it expanded), with IDLE_POINTER=away in a corner far from it (it stays a strip).
# Run inside a Wine session after a build:
#   tools/wine-session.sh tools/bench/idle_cpu.sh 1000 10000
#   IDLE_POINTER=over tools/wine-session.sh tools/bench/idle_cpu.sh 1000 10000
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$root/build/win32
ticks=$(getconf CLK_TCK)
pointer=${IDLE_POINTER:-}
pairs=${IDLE_PAIRS:-3}

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

# Waits up to 60 s for a visible window with this title.
wait_for_window() {  # title
  local i
  for ((i = 0; i < 120; i++)); do
    if xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; then return; fi
    sleep 0.5
  done
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
  wait_for_window "$3"
  sleep 5  # loaded
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

# "median (min-max)" of the numbers given, with printf format $1.
spread() {  # format numbers...
  local format=$1
  shift
  printf '%s\n' "$@" | sort -g | awk -v f="$format" '
    { v[NR] = $1 }
    END {
      m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
      printf f " (" f "-" f ")", m, v[1], v[NR]
    }'
}

for entries in "${@:-1000}"; do
  app=() hand=() ratios=()
  for ((run = 0; run < pairs; run++)); do
    if ((run % 2 == 0)); then
      a=$(measure "$bin/tallyleaf.exe" "$entries" Tallyleaf)
      h=$(measure "$bin/tools/bench/hand_written.exe" "$entries" Tallyleaf)
    else
      h=$(measure "$bin/tools/bench/hand_written.exe" "$entries" Tallyleaf)
      a=$(measure "$bin/tallyleaf.exe" "$entries" Tallyleaf)
    fi
    app+=("$a") hand+=("$h")
    ratios+=("$(awk -v a="$a" -v h="$h" 'BEGIN { print (h > 0 ? a / h : "inf") }')")
  done
  bare=$(measure "$bin/tools/bench/bare_window.exe" 0 BareWindow)
  reading=$(measure "$bin/tools/bench/bare_window_pointer.exe" 0 BareWindow)
  echo "processor time over 10 s idle, $entries entries${pointer:+, pointer $pointer}, median (min-max) of $pairs" \
    "interleaved pairs: tallyleaf $(spread %.0f "${app[@]}") ms, hand-written $(spread %.0f "${hand[@]}") ms," \
    "ratio $(spread %.2f "${ratios[@]}")"
  echo "  second reference: bare window $bare ms, bare window reading the pointer on each tick $reading ms"
done
