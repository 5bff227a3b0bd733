#!/usr/bin/env bash
# A copy killed while it holds the instance-list lock leaves a dead owner behind. A copy
# started afterwards must end at once (refused: the running instance still counts) instead of
# waiting for good, and the running instance's own exit must still take the lock and remove
# its entry. The killed copy stalls in the lock through its test hook.
# start_exe sets the variable named to it.
# shellcheck source=../lib.sh disable=SC2154
source "$(dirname "$0")/../lib.sh"
scenario_begin dead_lock_owner Default

start_exe home Default
wait_controller Default "$home"
home_hwnd=$(field "$CONTROLLER_LINE" hwnd)
expect_list Default "list max=1 count=1 pids=$home"

export OMBREVANE_TEST_STALL_IN_INSTANCE_LOCK=1
start_exe stuck Default
unset OMBREVANE_TEST_STALL_IN_INSTANCE_LOCK
wait_debug_line "stalling inside the instance lock" "$stuck"
drv kill "$stuck" >/dev/null || fail "could not kill the stalled copy $stuck"
note "killed $stuck inside the instance lock"

started=$SECONDS
out=$(drv run Default "$(win_path "$EXE")" 20000) ||
    fail "a copy started after the kill did not end within 20 s: $out"
[[ "$out" == *"exit code=0"* ]] || fail "the copy started after the kill ended with: $out"
note "copy after the kill: $(echo "$out" | tr '\n' ' ') ($((SECONDS - started)) s)"
expect_list Default "list max=1 count=1 pids=$home"

out=$(drv post-wait-exit "$home_hwnd" "$WM_INTERNAL_QUIT" 0 0 "$home" 20000 Default) ||
    fail "the running instance did not end within 20 s: $out"
[[ "$out" == *"exit code=0"* ]] || fail "the running instance ended with: $out"
[[ "$out" == *"list max=1 count=0 pids="* ]] || fail "its list entry is still there: $out"
