#!/usr/bin/env bash
# Compares what two builds of the program show and write: the working tree against REV (a
# commit, tag or branch). Builds both, records each with the snapshot program (tools/snapshot),
# and prints the differences; the working tree is recorded twice, so a difference that is not
# the change's (the snapshot itself not being repeatable) shows as such.
# Usage: tools/compare_outputs.sh REV        Exit status 0 when the records are the same.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rev=${1:?usage: compare_outputs.sh REV}
out=$root/build/compare

cd "$root"
bash tools/build.sh program >/dev/null
cmake --build build/win32 --target snapshot >/dev/null

# REV's build is kept under its commit's name for the next comparison.
base=$out/$(git rev-parse --verify "$rev^{commit}")
if [ ! -f "$base/build/win32/tallyleaf.exe" ]; then
  rm -rf "$base"
  git worktree prune
  git worktree add --detach --force "$base" "$rev" >/dev/null
  (cd "$base" && bash tools/build.sh program >/dev/null)
fi

windows() { printf 'Z:%s' "$1" | tr / '\\'; }
snapshot=$root/build/win32/tools/snapshot/snapshot.exe
tools/wine-session.sh bash -c '
  wine "$1" "$2" "$4" && wine "$1" "$3" "$5" && wine "$1" "$3" "$6"
' compare "$snapshot" "$(windows "$base/build/win32/tallyleaf.exe")" "$(windows "$root/build/win32/tallyleaf.exe")" \
  "$(windows "$out/base.txt")" "$(windows "$out/this.txt")" "$(windows "$out/this-again.txt")"

if ! diff -u "$out/this.txt" "$out/this-again.txt" >/dev/null; then
  echo "the working tree's two records differ, so the comparison says nothing:"
  diff -u "$out/this.txt" "$out/this-again.txt" || true
  exit 2
fi
if diff -u "$out/base.txt" "$out/this.txt"; then
  echo "same: $(wc -l < "$out/this.txt") lines of windows and files, $rev and the working tree"
else
  exit 1
fi
