#!/usr/bin/env bash
# Sizes of the two shipped binaries against their goals: inputward.dll at most 40 KB,
# ombrevane.exe at most 400 KB (1 KB = 1024 bytes).
#
#   bash bench/size/size.sh            the staged binaries of the Windows build (build/win)
#   bash bench/size/size.sh --compare  builds the release twice: -O2 throughout, and as
#                                      shipped, -Os but -O2 for the drawing and hook code
#                                      (build/size-O2, build/size-Os); prints both sizes and runs
#                                      the navigation bar and tray icon benchmarks of each under
#                                      one Wine, so size and speed are seen side by side
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${OMBREVANE_BUILD_ROOT:-$root/build}

dll_goal=$((40 * 1024))
exe_goal=$((400 * 1024))

# row NAME FILE GOAL
row() {
    local bytes
    if [ ! -f "$2" ]; then
        printf '  %-14s missing: %s\n' "$1" "$2"
        return 1
    fi
    bytes=$(stat -c %s "$2")
    awk -v n="$1" -v b="$bytes" -v g="$3" 'BEGIN {
        printf "  %-14s %8d bytes %7.1f KB   goal %4d KB   %5.2f of goal   %s\n",
               n, b, b / 1024, g / 1024, b / g, (b <= g ? "ok" : "OVER")
    }'
}

sizes() {
    echo "$1"
    row inputward.dll "$2/inputward.dll" "$dll_goal"
    row ombrevane.exe "$2/ombrevane.exe" "$exe_goal"
}

if [ "${1:-}" != --compare ]; then
    sizes "Staged release binaries ($out/win/stage/bin):" "$out/win/stage/bin"
    exit $?
fi

for opt in -O2 -Os; do
    tree="$out/size$opt"
    echo "Building the release with $opt in $tree ..."
    cmake -S "$root" -B "$tree" -DCMAKE_BUILD_TYPE=Release -DOMBREVANE_OPTIMIZE="$opt" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null || exit 1
    cmake --build "$tree" -j2 --target ombrevane inputward exbar_bench tray_rebuild_bench \
        >/dev/null || { echo "build with $opt failed"; exit 1; }
done
label() { [ "$1" = -O2 ] && echo "-O2 throughout" || echo "-Os, -O2 for drawing and hooks"; }
for opt in -O2 -Os; do
    sizes "Sizes with $(label $opt):" "$out/size$opt/stage/bin"
done

# shellcheck source=../../tests/wine/env.sh
source "$root/tests/wine/env.sh"
if [ "${OMBREVANE_WINE_READY:-0}" != 1 ]; then
    wine_env_up >/dev/null || exit 1
    trap wine_env_down EXIT
fi
for opt in -O2 -Os; do
    echo "Navigation bar benchmark, $(label $opt):"
    timeout 600 wine "$out/size$opt/bench/exbar/exbar_bench.exe" 2>/dev/null | tr -d '\r' |
        sed 's/^/  /'
    echo "Tray icon benchmark, $(label $opt):"
    timeout 600 wine "$out/size$opt/bench/tray/tray_rebuild_bench.exe" 2>/dev/null | tr -d '\r' |
        sed 's/^/  /'
done
exit 0
