#!/usr/bin/env bash
# Ten copies released at the same moment on one desktop: exactly one stays, the others end
# with exit code 0 and take their entries out of the list. Repeated, since it is a race.
# start_exe and copy_stage set the variables named to them.
# shellcheck source=../lib.sh disable=SC2154
source "$(dirname "$0")/../lib.sh"
scenario_begin ten_at_once Default 'SecretDesktop##3'

trials=${OMBREVANE_E2E_TRIALS:-3}
for trial in $(seq 1 "$trials"); do
    # Mostly the user's desktop; the last trial on a created one.
    desktop=Default
    [ "$trial" -eq "$trials" ] && [ "$trials" -gt 1 ] && desktop='SecretDesktop##3'
    out=$(drv start-many "$desktop" "$(win_path "$EXE")" 10 "$WAIT_MS") || fail "start-many failed: $out"
    survivors=$(echo "$out" | awk '/^survivors/ { print $2 }')
    [ "$survivors" = 1 ] || fail "trial $trial on $desktop: $survivors copies running: $(echo "$out" | tr '\n' ' ')"
    refused=$(echo "$out" | grep -c "^exited .*exit code=0$")
    [ "$refused" -eq 9 ] || fail "trial $trial: $refused of 9 refused copies ended with code 0: $(echo "$out" | tr '\n' ' ')"
    winner=$(echo "$out" | awk '/^running pid=/ { sub("pid=", "", $2); print $2 }')
    wait_controller "$desktop" "$winner"
    expect_list "$desktop" "list max=1 count=1 pids=$winner"
    windows=$(drv list-windows "$CONTROLLER_CLASS" "$desktop")
    [[ "$windows" == *"windows 1" ]] || fail "trial $trial: expected one controller: $windows"
    # Only the admitted copy got as far as announcing its start.
    started=$(debug_lines | grep -c '"Ombrevane started on desktop ')
    [ "$started" -eq "$trial" ] || fail "trial $trial: $started start lines after $trial trials"
    note "trial $trial on $desktop: pid $winner runs, 9 refused"

    out=$(drv post-wait-exit "$(field "$CONTROLLER_LINE" hwnd)" "$WM_INTERNAL_QUIT" 0 0 "$winner" "$WAIT_MS") ||
        fail "trial $trial: the survivor did not end: $out"
done
