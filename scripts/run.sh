#!/usr/bin/env bash
# Builds the program and runs it under Wine, with "Default" as a virtual desktop that has a
# task bar and a notification area. Without a display (or with CI=true) it runs on a private
# Xvfb display, writes a screenshot once the program is up, prints its path and ends.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/deps.sh || exit 1
bash scripts/build.sh win || exit 1
build=${OMBREVANE_BUILD_ROOT:-$root/build}/win
# shellcheck source=../tests/wine/env.sh
source tests/wine/env.sh
headless=0
if [ -z "${DISPLAY:-}" ] || [ "${OMBREVANE_FORCE_XVFB:-0}" = 1 ] || [ "${CI:-}" = true ]; then
  headless=1
fi
wine_env_up || exit 1
trap wine_env_down EXIT
exe="$build/stage/bin/ombrevane.exe"
driver="$build/tests/wine/driver/ombrevane_driver.exe"
echo "Starting $exe"
wine "$exe" &
pid=$!
if [ "$headless" -eq 1 ]; then
  # Up when its controller window exists; then give the task bar a moment to paint.
  if [ -f "$driver" ]; then
    WINEDEBUG=-all timeout 120 wine "$driver" wait-window TTileSwitchMainForm Default 60000 ||
      echo "The program's window did not appear within 60 s; the screenshot shows what there is."
  fi
  sleep 3
  shot="$(dirname "$build")/screenshot.png"
  import -window root "$shot" && echo "Screenshot written to $shot"
  kill "$pid" 2>/dev/null
else
  echo "Ombrevane runs in the Wine desktop window; end it from its tray menu (Exit)."
  wait "$pid"
fi
