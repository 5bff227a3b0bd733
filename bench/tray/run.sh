#!/usr/bin/env bash
# Measures TTextTrayIcon::RebuildIcon under Wine against a CreateIconIndirect baseline of the
# same run, and checks 10,000 rebuilds for leaked GDI and USER objects.
# Usage: bench/tray/run.sh [rebuilds]   (uses the Wine environment already up, or its own)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${OMBREVANE_BUILD_ROOT:-$root/build}/win
if [ ! -f "$build/CMakeCache.txt" ]; then
  bash "$root/scripts/build.sh" win
fi
cmake --build "$build" --target tray_rebuild_bench -j 2 >/dev/null
if [ "${OMBREVANE_WINE_READY:-}" != 1 ]; then
  # shellcheck source=../../tests/wine/env.sh
  source "$root/tests/wine/env.sh"
  wine_env_up >/dev/null
  trap wine_env_down EXIT
fi
timeout 600 wine "$build/bench/tray/tray_rebuild_bench.exe" "${1:-10000}"
