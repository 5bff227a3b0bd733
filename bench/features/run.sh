#!/usr/bin/env bash
# Measures the window hiding tick under Wine on a desktop with 200 top-level windows against
# baselines of the same run: the bare desktop-name queries for the steady tick, a bare
# EnumWindows plus a show call over the same windows for the hiding and restoring ticks.
# The bench desktop gets a virtual screen of its own, as a visible created desktop has: without
# one, every hidden top-level window is an X window that Wine waits two seconds for when no
# window manager runs.
# Usage: bench/features/run.sh [windows] [rounds]   (uses the Wine environment already up, or
# its own)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${OMBREVANE_BUILD_ROOT:-$root/build}/win
if [ ! -f "$build/CMakeCache.txt" ]; then
  bash "$root/scripts/build.sh" win
fi
cmake --build "$build" --target hide_tick_bench -j 2 >/dev/null
if [ "${OMBREVANE_WINE_READY:-}" != 1 ]; then
  # shellcheck source=../../tests/wine/env.sh
  source "$root/tests/wine/env.sh"
  trap wine_env_down EXIT
  wine_env_up >/dev/null
fi
timeout 60 wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v OmbrevaneBench /d 1024x768 /f \
  >/dev/null 2>&1
timeout 900 wine "$build/bench/features/hide_tick_bench.exe" "${1:-200}" "${2:-20}" OmbrevaneBench \
  2>&1 | grep -v ':fixme:'
