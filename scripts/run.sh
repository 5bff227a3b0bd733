#!/usr/bin/env bash
# Builds the program and runs it under Wine, with "Default" as a virtual desktop that has a
# task bar and a notification area. Without a display it runs on a private Xvfb display and
# writes a screenshot after a few seconds.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/deps.sh || exit 1
bash scripts/build.sh win || exit 1
source tests/wine/env.sh
headless=0
[ -z "${DISPLAY:-}" ] && headless=1
wine_env_up || exit 1
trap wine_env_down EXIT
exe="$root/build/win/stage/bin/ombrevane.exe"
echo "Starting $exe"
wine "$exe" &
pid=$!
if [ "$headless" -eq 1 ]; then
  sleep 8
  shot="$root/build/screenshot.png"
  import -window root "$shot" && echo "Screenshot written to $shot"
  kill "$pid" 2>/dev/null
else
  echo "Ombrevane runs in the Wine desktop window; close it from its tray menu."
  wait "$pid"
fi
