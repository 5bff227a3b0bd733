#!/usr/bin/env bash
# Shows the tray icon "3" in the virtual desktop's notification area, takes a screenshot and
# checks that the orange square with its yellow frame and a white digit is on screen.
# Leaves root.png and tray.png (the icon area, 8 times enlarged) in <build>/tray_screenshot.
set -euo pipefail
if [ "${OMBREVANE_WINE_READY:-}" != 1 ]; then
  echo "FAIL: needs the Wine environment of tests/wine/env.sh (wine_env_up)" >&2
  exit 1
fi
out="$OMBREVANE_BUILD/tray_screenshot"
rm -rf "$out"
mkdir -p "$out"
exe="$OMBREVANE_BUILD/tests/components/tray_show.exe"
timeout 90 wine "$exe" 3 4 >"$out/show.log" 2>&1 &
pid=$!
for _ in $(seq 1 600); do
  grep -q "tray icon" "$out/show.log" 2>/dev/null && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if ! grep -q "tray icon shown" "$out/show.log"; then
  echo "FAIL: the icon did not reach the notification area" >&2
  cat "$out/show.log" >&2
  kill "$pid" 2>/dev/null || true
  exit 1
fi
sleep 1
import -window root "$out/root.png"
wait "$pid" || true

# Where are the orange pixels (222, 139, 48)?
box=$(convert "$out/root.png" -fill black +opaque "rgb(222,139,48)" -fill white -opaque "rgb(222,139,48)" \
  -format "%@" info:)
echo "orange area: $box"
if [ -z "$box" ] || [ "${box%%x*}" = 0 ]; then
  echo "FAIL: no orange icon on screen" >&2
  exit 1
fi
w=${box%%x*}; rest=${box#*x}; h=${rest%%+*}; rest=${rest#*+}; x=${rest%%+*}; y=${rest#*+}
# The frame is one pixel around the orange area.
convert "$out/root.png" -crop "$((w + 2))x$((h + 2))+$((x - 1))+$((y - 1))" +repage "$out/icon.png"
convert "$out/root.png" -crop "$((w + 40))x$((h + 20))+$((x - 20))+$((y - 10))" +repage \
  -scale 800% "$out/tray.png"
count() { convert "$out/icon.png" -fill black +opaque "$1" -fill white -opaque "$1" -format "%[fx:round(mean*w*h)]" info:; }
orange=$(count "rgb(222,139,48)")
yellow=$(count "rgb(232,243,12)")
white=$(count "rgb(255,255,255)")
echo "icon ${w}x${h} at $x,$y: orange $orange, yellow $yellow, white $white"
if [ "$w" -ne 14 ] || [ "$h" -ne 14 ] || [ "$yellow" -ne 60 ] || [ "$white" -lt 8 ] || [ "$orange" -lt 120 ]; then
  echo "FAIL: the icon does not look like an orange square, yellow frame and a white digit" >&2
  exit 1
fi
echo "PASS: screenshot in $out/tray.png"
