#!/usr/bin/env bash
# Builds the release program and makes the archive a Windows user downloads:
#   build/dist/tallyleaf-<version>-win32.zip        tallyleaf.exe and README.txt (the user's guide)
#   build/dist/tallyleaf-<version>-win32-debug.zip  tallyleaf.exe.debug, for post-mortem analysis
# The version is the one project(VERSION) gives the build. Prints the stripped program's size.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/setup.sh
jobs=$(nproc)

cmake -S . -B build/host -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ >/dev/null
cmake --build build/host --target formgen -j"$jobs"
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DTALLYLEAF_FORMGEN="$root/build/host/forms/formgen" >/dev/null
cmake --build build/win32 --target tallyleaf -j"$jobs"

version=$(cat build/win32/release/version.txt)
name=tallyleaf-$version-win32
dist=$root/build/dist
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

cp build/win32/tallyleaf.exe "$stage/"
# Notepad on every Windows from 7 on reads UTF-8 with a byte-order mark and CRLF line ends.
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' docs/user-guide.txt; } > "$stage/README.txt"
mkdir -p "$dist"
rm -f "$dist/$name.zip" "$dist/$name-debug.zip"
(cd "$stage" && zip -q -X "$dist/$name.zip" tallyleaf.exe README.txt)
(cd build/win32 && zip -q -X "$dist/$name-debug.zip" tallyleaf.exe.debug)

size=$(stat -c %s build/win32/tallyleaf.exe)
echo "tallyleaf.exe (stripped): $size bytes ($(awk -v s="$size" 'BEGIN { printf "%.2f", s / 1048576 }') MB)"
echo "package: $dist/$name.zip"
echo "debug information: $dist/$name-debug.zip"
