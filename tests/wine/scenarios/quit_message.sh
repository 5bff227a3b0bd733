#!/usr/bin/env bash
# 2228 ends the instance it is posted to, cleanly: exit code 0 and its list entry removed
# (the list is held open across the exit so that it outlives the process). Other instances
# are not affected.
# start_exe and copy_stage set the variables named to them.
# shellcheck source=../lib.sh disable=SC2154
source "$(dirname "$0")/../lib.sh"
scenario_begin quit_message Default 'SecretDesktop##1'

start_exe home Default
wait_controller Default "$home"
home_hwnd=$(field "$CONTROLLER_LINE" hwnd)
start_exe secret 'SecretDesktop##1'
wait_controller 'SecretDesktop##1' "$secret"
secret_hwnd=$(field "$CONTROLLER_LINE" hwnd)
expect_list Default "list max=1 count=1 pids=$home"

out=$(drv post-wait-exit "$home_hwnd" "$WM_INTERNAL_QUIT" 0 0 "$home" "$WAIT_MS" Default) ||
    fail "the Default instance did not end: $out"
[[ "$out" == *"exit code=0"* ]] || fail "the Default instance ended with: $out"
[[ "$out" == *"list max=1 count=0 pids="* ]] || fail "its list entry is still there: $out"
note "Default instance: $(echo "$out" | tr '\n' ' ')"

drv alive "$secret" >/dev/null || fail "the SecretDesktop##1 instance ended as well"
expect_list 'SecretDesktop##1' "list max=1 count=1 pids=$secret"

out=$(drv post-wait-exit "$secret_hwnd" "$WM_INTERNAL_QUIT" 0 0 "$secret" "$WAIT_MS" 'SecretDesktop##1') ||
    fail "the SecretDesktop##1 instance did not end: $out"
[[ "$out" == *"exit code=0"* && "$out" == *"count=0 pids="* ]] || fail "SecretDesktop##1 instance: $out"

# A new start on the desktop is admitted again.
start_exe again Default
wait_controller Default "$again"
expect_list Default "list max=1 count=1 pids=$again"
