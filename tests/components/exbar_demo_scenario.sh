#!/usr/bin/env bash
# The navigation bar demo on the Wine desktop: the blue theme's colours on screen, a link
# under the mouse (underlined, hot colour, only its group repainted), a click on it, a header
# click that collapses a group and takes the scroll bar away, and the classic look with the
# "AR_DN" glyph. Screenshots stay in the scenario's folder when something fails.
set -uo pipefail
: "${OMBREVANE_BUILD:?run through ctest, or set OMBREVANE_BUILD}"
: "${OMBREVANE_SOURCE:=$(cd "$(dirname "$0")/../.." && pwd)}"
DEMO="$OMBREVANE_BUILD/tests/components/exbar_demo.exe"
[ -f "$DEMO" ] || { echo "FAIL: demo not built: $DEMO"; exit 1; }
for tool in xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is needed"; exit 1; }
done

# shellcheck source=../wine/env.sh
source "$OMBREVANE_SOURCE/tests/wine/env.sh"
own_env=0
if [ "${OMBREVANE_WINE_READY:-0}" != 1 ]; then
    wine_env_up || { echo "FAIL: no Wine environment"; exit 1; }
    own_env=1
fi
work=$(mktemp -d /tmp/exbar-scenario.XXXXXX)
demo_pid=""
failures=0

stop_demo() {
    if [ -n "$demo_pid" ]; then
        kill "$demo_pid" 2>/dev/null
        wait "$demo_pid" 2>/dev/null
        demo_pid=""
    fi
}
finish() {
    stop_demo
    [ "$own_env" = 1 ] && wine_env_down
    if [ "$failures" -eq 0 ]; then rm -rf "$work"; else echo "kept: $work"; fi
}
trap finish EXIT

ok() { echo "ok: $*"; }
bad() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# start_demo LOG [ARGS...]: waits (bounded) for its "ready" line.
start_demo() {
    local log=$1
    shift
    WINEDEBUG=-all timeout 300 wine "$DEMO" "$@" >"$log" 2>/dev/null &
    demo_pid=$!
    local i
    for i in $(seq 1 600); do
        grep -q '^ready ' "$log" && break
        sleep 0.1
    done
    grep -q '^ready ' "$log" || { bad "demo did not start"; cat "$log"; return 1; }
    # Where the Wine desktop window sits on the X screen.
    desk_x=0
    desk_y=0
    local wid
    wid=$(xdotool search --name "Wine desktop" 2>/dev/null | head -1)
    if [ -n "$wid" ]; then
        eval "$(xdotool getwindowgeometry --shell "$wid" | grep -E '^(X|Y)=')"
        desk_x=$X
        desk_y=$Y
    fi
    read -r _ sx sy < <(grep '^ready ' "$log" | tail -1)
    origin_x=$((desk_x + sx))
    origin_y=$((desk_y + sy))
    sleep 1
}

# rect LOG KIND NAME: "left top right bottom" of the last printed rectangle.
rect() { grep "^rect $2 $3|" "$1" | tail -1 | cut -d'|' -f2; }

shot() {
    import -window root "$work/$1.png" 2>/dev/null || bad "screenshot $1 failed"
}

# count SHOT LEFT TOP RIGHT BOTTOM R,G,B: pixels of exactly that colour (surface coordinates).
count() {
    local w=$(($4 - $2)) h=$(($5 - $3))
    convert "$work/$1.png" -crop "${w}x${h}+$((origin_x + $2))+$((origin_y + $3))" +repage txt:- |
        grep -c "($6)"
}

# pixel SHOT X Y: "r,g,b" at a surface point.
pixel() {
    convert "$work/$1.png" -crop "1x1+$((origin_x + $2))+$((origin_y + $3))" +repage txt:- |
        tail -1 | sed -E 's/.*\(([0-9]+),([0-9]+),([0-9]+)\).*/\1,\2,\3/'
}

# longest_run SHOT LEFT TOP RIGHT BOTTOM R,G,B: longest horizontal run of the colour.
longest_run() {
    local w=$(($4 - $2)) h=$(($5 - $3))
    convert "$work/$1.png" -crop "${w}x${h}+$((origin_x + $2))+$((origin_y + $3))" +repage txt:- |
        awk -v color="($6)" -F'[,:]' 'NR > 1 {
            x = $1; y = $2; hit = index($0, color) > 0
            if (y != row) { run = 0; row = y; last = -2 }
            if (hit) { run = (x == last + 1) ? run + 1 : 1; last = x; if (run > best) best = run }
        } END { print best + 0 }'
}

move_to() { xdotool mousemove "$((origin_x + $1))" "$((origin_y + $2))"; }

# --- The blue theme -------------------------------------------------------------------------
log="$work/themed.log"
start_demo "$log" || exit 1
shot themed
[ "$(pixel themed 3 3)" = "122,160,230" ] && ok "background 122,160,230" ||
    bad "background is $(pixel themed 3 3)"
read -r l t r b <<<"$(rect "$log" link 12)"
[ -n "${b:-}" ] || { bad "no rectangle for link 12"; exit 1; }
n=$(count themed $((l + 20)) "$t" "$r" "$b" 33,93,198)
[ "$n" -gt 10 ] && ok "link text 33,93,198 ($n pixels)" || bad "link text colour: $n pixels"
read -r hl ht hr hb <<<"$(rect "$log" header Options)"
n=$(count themed $((hl + 8)) "$ht" $((hr - 25)) "$hb" 255,255,255)
[ "$n" -gt 10 ] && ok "special caption white ($n pixels)" || bad "special caption: $n pixels"

# Hot tracking: the mouse onto "Desktop 3".
before=$(wc -l <"$log")
move_to $(((l + r) / 2)) $(((t + b) / 2))
sleep 1.5
shot hot
after=$(tail -n +"$((before + 1))" "$log")
if grep -q '^paint Desktop Setting$' <<<"$after" && ! grep -q '^render' <<<"$after" &&
    [ "$(grep -c '^paint' <<<"$after")" -eq 1 ]; then
    ok "only the group of the hot link repainted"
else
    bad "repaint after the move: $(tr '\n' ';' <<<"$after")"
fi
n=$(count hot $((l + 20)) "$t" "$r" "$b" 66,142,255)
cold=$(count hot $((l + 20)) "$t" "$r" "$b" 33,93,198)
run=$(longest_run hot $((l + 22)) "$t" "$r" "$b" 66,142,255)
if [ "$n" -gt 10 ] && [ "$cold" -eq 0 ] && [ "$run" -ge $((r - l - 22 - 6)) ]; then
    ok "hot link 66,142,255 and underlined (run $run)"
else
    bad "hot link: $n hot pixels, $cold plain pixels, longest run $run"
fi

# A click on it.
xdotool click 1
sleep 1
grep -q '^click 12$' "$log" && ok "click printed id 12" || bad "no 'click 12' in the output"

# A click on the "Desktop Setting" header collapses it; the scroll bar goes.
grep '^render' "$log" | tail -1 | grep -q 'scroll=1' && ok "scroll bar shown before" ||
    bad "scroll bar not shown at first: $(grep '^render' "$log" | tail -1)"
read -r dl dt dr db <<<"$(rect "$log" header 'Desktop Setting')"
before=$(wc -l <"$log")
move_to $(((dl + dr) / 2 - 20)) $(((dt + db) / 2))
sleep 0.5
xdotool click 1
sleep 2.5
after=$(tail -n +"$((before + 1))" "$log")
heights=$(grep '^render' <<<"$after" | grep -o 'Desktop Setting=collapsing/[0-9]*' | cut -d/ -f2)
steps=$(wc -w <<<"$heights")
sorted=$(tr ' ' '\n' <<<"$heights" | sort -rn | tr '\n' ' ')
last=$(grep '^render' <<<"$after" | tail -1)
if [ "$steps" -ge 12 ] && [ "$steps" -le 20 ] && [ "$(tr '\n' ' ' <<<"$heights")" = "$sorted" ] &&
    grep -q 'Desktop Setting=collapsed/' <<<"$last"; then
    ok "collapsed over $steps ticks: $(tr '\n' ' ' <<<"$heights")"
else
    bad "collapse: $steps collapsing renders ($heights), last: $last"
fi
grep -q 'scroll=0' <<<"$last" && ok "scroll bar hidden after collapsing" ||
    bad "scroll bar still shown: $last"
stop_demo

# --- The classic look -----------------------------------------------------------------------
log="$work/classic.log"
start_demo "$log" --classic || exit 1
read -r _ captionc facec textc < <(grep '^syscolors ' "$log" | sed 's/[a-z]*=//g')
shot classic
read -r hl ht hr hb <<<"$(rect "$log" header Options)"
[ "$(pixel classic $((hl + 3)) $((ht + 3)))" = "$captionc" ] && ok "special header $captionc" ||
    bad "special header is $(pixel classic $((hl + 3)) $((ht + 3))), not $captionc"
read -r dl dt dr db <<<"$(rect "$log" header 'Desktop Setting')"
[ "$(pixel classic $((dl + 3)) $((dt + 3)))" = "$facec" ] && ok "normal header $facec" ||
    bad "normal header is $(pixel classic $((dl + 3)) $((dt + 3))), not $facec"
move_to $(((dl + dr) / 2 - 20)) $(((dt + db) / 2))
sleep 0.5
xdotool click 1
sleep 2.5
grep '^render' "$log" | tail -1 | grep -q 'Desktop Setting=collapsed/' || bad "classic: not collapsed"
move_to 2 2
sleep 0.5
shot collapsed
read -r dl dt dr db <<<"$(rect "$log" header 'Desktop Setting')"
gx=$((dr - 24))
gy=$((dt - 9 + 16))
rows=(".XX...XX" "..XX.XX." "...XXX.." "....X..." ".XX...XX" "..XX.XX." "...XXX.." "....X...")
glyph_ok=1
for y in 0 1 2 3 4 5 6 7; do
    for x in 0 1 2 3 4 5 6 7; do
        want=${rows[$y]:$x:1}
        got=$(pixel collapsed $((gx + x)) $((gy + y)))
        if { [ "$want" = X ] && [ "$got" != "$textc" ]; } || { [ "$want" = . ] && [ "$got" = "$textc" ]; }; then
            glyph_ok=0
        fi
    done
done
[ "$glyph_ok" = 1 ] && ok "AR_DN glyph after collapsing" || bad "AR_DN glyph not found at $gx,$gy"
stop_demo

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
