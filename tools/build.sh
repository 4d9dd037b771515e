#!/usr/bin/env bash
# Sets the machine up if it is not yet, then builds every tree: build/host (tools and host
# tests), build/fuzz (libFuzzer targets) and build/win32 (the program and the Windows tests).
# "build.sh program" builds only the program and the host-built form generator it needs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/setup.sh --if-needed
jobs=$(nproc)
host_targets=() win32_targets=()
if [ "${1:-}" = program ]; then
  host_targets=(--target formgen) win32_targets=(--target tallyleaf)
fi

cmake -S . -B build/host -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ >/dev/null
cmake --build build/host -j"$jobs" "${host_targets[@]}"

if [ "${1:-}" != program ]; then
  cmake -S . -B build/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTALLYLEAF_FUZZ=ON >/dev/null
  cmake --build build/fuzz -j"$jobs"
fi

cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DTALLYLEAF_FORMGEN="$root/build/host/forms/formgen" >/dev/null
cmake --build build/win32 -j"$jobs" "${win32_targets[@]}"

# One ctest run over all three trees.
printf 'subdirs("host" "fuzz" "win32")\n' > build/CTestTestfile.cmake
