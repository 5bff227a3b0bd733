#!/usr/bin/env bash
# Microseconds per full settings load (tileswitch.ini + desktop0-4.ini), in an optimised
# native build of its own, against reading the same files' bytes in the same run.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${OMBREVANE_BUILD_ROOT:-$root/build}/bench-config
cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=Release -DOMBREVANE_BUILD_TESTS=OFF >/dev/null
cmake --build "$out" --target ombrevane_config_bench -j 2 >/dev/null
"$out/bench/config/ombrevane_config_bench"
