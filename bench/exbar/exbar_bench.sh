#!/usr/bin/env bash
# Full render and hot-tracking update of the options dialog's bar under Wine, against a bare
# copy of the same back buffer to the screen measured in the same run; GDI objects over 10,000
# renders. Builds the Windows tree's bench target, brings up its own Wine environment.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${OMBREVANE_BUILD_ROOT:-$root/build}/win
bash "$root/scripts/build.sh" win >/dev/null || { echo "build failed"; exit 1; }
cmake --build "$build" --target exbar_bench -j2 >/dev/null || { echo "bench build failed"; exit 1; }
# shellcheck source=../../tests/wine/env.sh
source "$root/tests/wine/env.sh"
if [ "${OMBREVANE_WINE_READY:-0}" != 1 ]; then
    wine_env_up || exit 1
    trap wine_env_down EXIT
fi
timeout 600 wine "$build/bench/exbar/exbar_bench.exe" | tr -d '\r'
