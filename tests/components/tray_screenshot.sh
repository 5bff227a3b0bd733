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
# Other icons may be on screen already (the program's own ones are orange too): only what
# our icon adds is judged.
import -window root "$out/before.png"
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

count() { convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format "%[fx:round(mean*w*h)]" info:; }
orange=$(( $(count "$out/root.png" "rgb(222,139,48)") - $(count "$out/before.png" "rgb(222,139,48)") ))
yellow=$(( $(count "$out/root.png" "rgb(232,243,12)") - $(count "$out/before.png" "rgb(232,243,12)") ))
# Where the new orange pixels are: the new icon's inside (its frame is one pixel around).
mask() { convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" "$3"; }
mask "$out/root.png" "rgb(222,139,48)" "$out/orange_after.png"
mask "$out/before.png" "rgb(222,139,48)" "$out/orange_before.png"
box=$(convert "$out/orange_after.png" "$out/orange_before.png" -compose minus_src -composite \
  -format "%@" info:)
echo "new orange area: $box; new pixels: orange $orange, yellow $yellow"
if [ -z "$box" ] || [ "${box%%x*}" = 0 ]; then
  echo "FAIL: no new orange pixels on screen" >&2
  exit 1
fi
w=${box%%x*}; rest=${box#*x}; h=${rest%%+*}; rest=${rest#*+}; x=${rest%%+*}; y=${rest#*+}
convert "$out/root.png" -crop "$((w + 2))x$((h + 2))+$((x - 1))+$((y - 1))" +repage "$out/icon.png"
convert "$out/root.png" -crop "$((w + 40))x$((h + 20))+$((x - 20))+$((y - 10))" +repage \
  -scale 800% "$out/tray.png"
white=$(count "$out/icon.png" "rgb(255,255,255)")
frame=$(count "$out/icon.png" "rgb(232,243,12)")
echo "icon ${w}x${h} at $x,$y: white $white, frame $frame"
if [ "$w" -ne 14 ] || [ "$h" -ne 14 ] || [ "$frame" -ne 60 ] || [ "$yellow" -lt 60 ] ||
  [ "$orange" -lt 120 ] || [ "$white" -lt 8 ]; then
  echo "FAIL: no new orange square with a yellow frame and a white digit" >&2
  exit 1
fi
echo "PASS: screenshot in $out/tray.png"
