#!/usr/bin/env bash
# Start-up benchmark under Wine: the time from process creation to the controller window
# existing, for ombrevane.exe and for a bare Win32 program with one hidden window, 20 runs
# each (interleaved, after one uncounted warm-up run of each), on the "Default" desktop.
# Prints both medians and their ratio ombrevane/bare; the goal is a ratio of at most 1.2.
# Usage: bench/startup/run.sh [RUNS]
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
runs=${1:-20}
build=${OMBREVANE_BUILD_ROOT:-$root/build}/win
bash "$root/scripts/build.sh" win >/dev/null || exit 1
cmake --build "$build" --target ombrevane ombrevane_driver ombrevane_bench_bare -j 2 >/dev/null || exit 1

# shellcheck source=../../tests/wine/env.sh
source "$root/tests/wine/env.sh"
wine_env_up || exit 1
trap wine_env_down EXIT

to_windows() { echo "Z:$(readlink -f "$1" | tr / '\\')"; }
driver="$build/tests/wine/driver/ombrevane_driver.exe"
program=$(to_windows "$build/stage/bin/ombrevane.exe")
bare=$(to_windows "$build/bench/startup/ombrevane_bench_bare.exe")

out=$(WINEDEBUG=-all timeout 900 wine "$driver" time-start "$runs" 30000 Default \
    TTileSwitchMainForm "$program" OmbrevaneBenchBare "$bare")
status=$?
echo "$out"
timeout 30 wineserver -k >/dev/null 2>&1
[ "$status" -eq 0 ] || { echo "benchmark failed"; exit 1; }

program_ms=$(echo "$out" | awk '$1 == "median" && $2 == "TTileSwitchMainForm" { print $3 }')
bare_ms=$(echo "$out" | awk '$1 == "median" && $2 == "OmbrevaneBenchBare" { print $3 }')
awk -v p="$program_ms" -v b="$bare_ms" -v n="$runs" 'BEGIN {
    printf "start-up to controller window, median of %d runs: ombrevane %.1f ms, bare %.1f ms\n", n, p, b
    printf "ratio ombrevane/bare %.2f (goal <= 1.20)\n", p / b
}'
