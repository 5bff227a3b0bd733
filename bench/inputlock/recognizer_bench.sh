#!/usr/bin/env bash
# Native benchmark of the recognition step, in an optimised build of its own.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${OMBREVANE_BUILD_ROOT:-$root/build}/bench-native
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DOMBREVANE_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target inputlock_recognizer_bench -j 2 >/dev/null
"$build/bench/inputlock/inputlock_recognizer_bench"
