#!/usr/bin/env bash
# Configures and builds the native tree (build/native) and the Windows tree (build/win).
# Usage: build.sh [native|win|all]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
what=${1:-all}
jobs=$(nproc)
out=${OMBREVANE_BUILD_ROOT:-$root/build}
if [ "$what" = native ] || [ "$what" = all ]; then
  cmake -S "$root" -B "$out/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$out/native" -j "$jobs"
fi
if [ "$what" = win ] || [ "$what" = all ]; then
  cmake -S "$root" -B "$out/win" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
  cmake --build "$out/win" -j "$jobs"
fi
