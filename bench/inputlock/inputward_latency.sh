#!/usr/bin/env bash
# Benchmark under Wine: time from an xdotool key press (Alt+3) to the report's arrival in the
# inputward test host, against a bare program whose own hook posts every key press
# unconditionally, measured in the same run. Prints both medians and their ratio (goal <= 1.1).
# Usage: bench/inputlock/inputward_latency.sh [presses]   (default 40)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
presses=${1:-40}
build=${OMBREVANE_BUILD_ROOT:-$root/build}/win

if [ ! -f "$build/CMakeCache.txt" ]; then
  bash "$root/scripts/build.sh" win >/dev/null || exit 1
fi
cmake --build "$build" --target inputward inputward_host inputward_bare_host -j 2 >/dev/null ||
  { echo "build failed"; exit 1; }

own_env=0
if [ "${OMBREVANE_WINE_READY:-0}" != 1 ]; then
  # shellcheck source=../../tests/wine/env.sh
  source "$root/tests/wine/env.sh"
  wine_env_up >/dev/null || { echo "no Wine environment"; exit 1; }
  own_env=1
fi

work=$(mktemp -d /tmp/ombrevane-latency.XXXXXX)
cp "$build/stage/bin/inputward.dll" "$build/tests/inputlock/inputward_host.exe" \
  "$build/bench/inputlock/inputward_bare_host.exe" "$work/" || exit 1
pid=""
cleanup() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  fi
  rm -rf "$work"
  [ "$own_env" = 1 ] && wine_env_down
}
trap cleanup EXIT

# measure <output file> <line pattern for the Alt+3 report> <program> <arguments...>
# prints the median latency in microseconds.
measure() {
  local out=$1 pattern=$2
  shift 2
  : >"$out"
  (cd "$work" && exec wine "$@" >"$out" 2>/dev/null) &
  pid=$!
  for _ in $(seq 1 240); do
    grep -q '^ready' "$out" && break
    sleep 0.5
  done
  grep -q '^ready' "$out" || { echo "host did not start" >&2; return 1; }
  local desktop
  desktop=$(xdotool search --name "Default - Wine desktop" | head -1)
  xdotool mousemove --window "$desktop" 600 350
  xdotool windowfocus "$desktop" 2>/dev/null
  sleep 0.5
  local samples=() i count before t0 line
  for i in $(seq 1 "$presses"); do
    before=$(grep -c -- "$pattern" "$out")
    t0=$(date +%s%6N)
    xdotool key alt+3
    for _ in $(seq 1 500); do
      count=$(grep -c -- "$pattern" "$out")
      [ "$count" -gt "$before" ] && break
      sleep 0.01
    done
    line=$(grep -- "$pattern" "$out" | tail -1 | tr -d '\r')
    [ "$count" -gt "$before" ] && samples+=($((${line##* } - t0)))
    sleep 0.1
  done
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  pid=""
  [ "${#samples[@]}" -gt 0 ] || { echo "no reports arrived" >&2; return 1; }
  printf '%s\n' "${samples[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'
}

bare=$(measure "$work/bare.txt" "^msg 2230 51 " inputward_bare_host.exe) || exit 1
ward=$(measure "$work/ward.txt" "^msg 2230 2 0 " inputward_host.exe serve) || exit 1
bare2=$(measure "$work/bare.txt" "^msg 2230 51 " inputward_bare_host.exe) || exit 1
# The baseline is taken before and after, so drift of the machine shows.
base=$(((bare + bare2) / 2))
echo "presses per program        $presses"
echo "bare hook, median          $bare us, again $bare2 us"
echo "inputward.dll, median      $ward us"
awk -v w="$ward" -v b="$base" 'BEGIN {
  r = w / b
  printf "ratio                      %.3f (goal <= 1.1: %s)\n", r, (r <= 1.1 ? "met" : "NOT met")
}'
