#!/usr/bin/env bash
# Runs every libFuzzer target of build/fuzz for a long stretch, one after the other, under
# AddressSanitizer and UBSan, starting from the seeds in tests/fuzz/corpus/<target>/. After each
# run the seeds and what the run found are merged (-merge=1) back into that directory, so the
# next run starts where this one ended. Prints one line per target: inputs run, time, crashes;
# a crashing input is kept in build/fuzz/long/<target>/.
#   tools/fuzz_long.sh [inputs per target (10000000)] [seconds per target (3600)] [target ...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-10000000}
seconds=${2:-3600}
shift $(($# < 2 ? $# : 2))
bin=$root/build/fuzz/tests/fuzz
out=$root/build/fuzz/long
[ -d "$bin" ] || { echo "no fuzz tree: run tools/build.sh first"; exit 2; }
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in "$root"/tests/fuzz/fuzz_*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

failed=0
for target in "${targets[@]}"; do
  seeds=$root/tests/fuzz/corpus/$target
  work=$out/$target
  rm -rf "$work"
  mkdir -p "$seeds" "$work/found" "$work/merged"
  start=$(date +%s)
  status=0
  nice -n 19 "$bin/$target" -runs="$runs" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$work/" "$work/found" "$seeds" > "$work/log" 2>&1 || status=$?
  elapsed=$(($(date +%s) - start))
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
  crashes=$(find "$work" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  # Keep the smallest set of inputs that covers what the seeds and this run covered.
  nice -n 19 "$bin/$target" -merge=1 "$work/merged" "$seeds" "$work/found" > "$work/merge.log" 2>&1
  rm -rf "$seeds" && mv "$work/merged" "$seeds"
  seedFiles=$(find "$seeds" -type f | wc -l)
  seedBytes=$(du -sb "$seeds" | cut -f1)
  verdict=PASS
  if [ "$status" -ne 0 ] || [ "$crashes" -ne 0 ]; then verdict=FAIL; failed=1; fi
  printf '%s %-22s inputs %s, %d s, crashes %d, seeds %d files %d bytes\n' \
    "$verdict" "$target" "${execs:-?}" "$elapsed" "$crashes" "$seedFiles" "$seedBytes"
  if [ "$verdict" = FAIL ]; then grep -m5 -E 'ERROR|runtime error|SUMMARY' "$work/log" || true; fi
done
if [ "$failed" -eq 0 ]; then echo "target held: no crash in any target"; else echo "target NOT held: see build/fuzz/long/"; fi
exit "$failed"
