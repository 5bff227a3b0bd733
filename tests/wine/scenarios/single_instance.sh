#!/usr/bin/env bash
# A second copy started on "Default" ends with exit code 0 and leaves one instance listed;
# the same holds on a created desktop.
# start_exe and copy_stage set the variables named to them.
# shellcheck source=../lib.sh disable=SC2154
source "$(dirname "$0")/../lib.sh"
scenario_begin single_instance Default 'SecretDesktop##1'

out=$(read_list Default) && fail "an instance list exists before any start: $out"
[[ "$out" == "list missing "* ]] || fail "driver did not report the missing list: $out"

for desktop in Default 'SecretDesktop##1'; do
    index=0
    [ "$desktop" = Default ] || index=1
    start_exe first "$desktop"
    wait_controller "$desktop" "$first"
    wait_debug_line "Ombrevane started on desktop $desktop index $index" "$first"
    expect_list "$desktop" "list max=1 count=1 pids=$first"

    out=$(drv run "$desktop" "$(win_path "$EXE")" "$WAIT_MS") ||
        fail "the second copy on $desktop did not end: $out"
    [[ "$out" == *"exit code=0"* ]] || fail "the second copy on $desktop ended with: $out"
    note "second copy on $desktop: $(echo "$out" | tr '\n' ' ')"
    # Refused before it built anything: it never announced a start.
    second=$(echo "$out" | awk '$1 == "pid" { print $2 }')
    expect_no_debug_line "Ombrevane started on desktop $desktop index $index" "$second"

    drv alive "$first" >/dev/null || fail "the first instance on $desktop ($first) ended"
    expect_list "$desktop" "list max=1 count=1 pids=$first"
    windows=$(drv list-windows "$CONTROLLER_CLASS" "$desktop")
    [[ "$windows" == *"windows 1" ]] || fail "expected one controller on $desktop: $windows"
done
