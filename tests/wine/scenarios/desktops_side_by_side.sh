#!/usr/bin/env bash
# Instances on "Default" and on SecretDesktop##1 run side by side, each with its own list.
# start_exe and copy_stage set the variables named to them.
# shellcheck source=../lib.sh disable=SC2154
source "$(dirname "$0")/../lib.sh"
scenario_begin desktops_side_by_side Default 'SecretDesktop##1'

start_exe first Default
wait_controller Default "$first"
[ "$(field "$CONTROLLER_LINE" desktop)" = Default ] || fail "controller not on Default: $CONTROLLER_LINE"

start_exe second 'SecretDesktop##1'
wait_controller 'SecretDesktop##1' "$second"
[ "$(field "$CONTROLLER_LINE" desktop)" = 'SecretDesktop##1' ] ||
    fail "controller not on SecretDesktop##1: $CONTROLLER_LINE"

expect_list Default "list max=1 count=1 pids=$first"
expect_list 'SecretDesktop##1' "list max=1 count=1 pids=$second"
drv alive "$first" >/dev/null || fail "the Default instance ($first) ended"
wait_debug_line "Ombrevane started on desktop Default index 0" "$first"
wait_debug_line "Ombrevane started on desktop SecretDesktop##1 index 1" "$second"
