#!/usr/bin/env bash
# 2238 posted to one instance is broadcast as 2237 to every instance of the same executable,
# on every desktop, the sender included; a copy of the executable in another folder is not
# one of them, in either direction.
# start_exe and copy_stage set the variables named to them.
# shellcheck source=../lib.sh disable=SC2154
source "$(dirname "$0")/../lib.sh"
scenario_begin broadcast Default 'SecretDesktop##1' 'SecretDesktop##2'

# The first instance is started through its 8.3 short path: its broadcasts must still reach
# every instance, itself included.
out=$(drv short-path "$(win_path "$EXE")") || fail "no short path for $EXE: $out"
short_exe=${out#short }
note "starting the first instance as $short_exe"
out=$(drv start Default "$short_exe") || fail "could not start $short_exe: $out"
home=${out#pid }
[[ "$home" =~ ^[0-9]+$ ]] || fail "start of $short_exe printed: $out"
wait_controller Default "$home"
home_hwnd=$(field "$CONTROLLER_LINE" hwnd)
start_exe secret 'SecretDesktop##1'
wait_controller 'SecretDesktop##1' "$secret"
copy_stage other_exe
start_exe other 'SecretDesktop##2' "$other_exe"
wait_controller 'SecretDesktop##2' "$other"
other_hwnd=$(field "$CONTROLLER_LINE" hwnd)

drv post-hwnd "$home_hwnd" "$WM_INTERNAL_DLL_SWITCH" 1 0 >/dev/null || fail "post to $home_hwnd failed"
wait_debug_line "receive WM_INTERNAL_SWITCH wParam is 1,CurrentIndex 0" "$home"
wait_debug_line "receive WM_INTERNAL_SWITCH wParam is 1,CurrentIndex 1" "$secret"

# Had the copy been sent 2237 too, it would sit in its queue ahead of this 2238, so once the
# copy has answered this one, an earlier delivery would show.
drv post-hwnd "$other_hwnd" "$WM_INTERNAL_DLL_SWITCH" 3 0 >/dev/null || fail "post to $other_hwnd failed"
wait_debug_line "receive WM_INTERNAL_SWITCH wParam is 3,CurrentIndex 2" "$other"
expect_no_debug_line "receive WM_INTERNAL_SWITCH wParam is 1,CurrentIndex 2"
# The copy's own broadcast reached only itself.
expect_no_debug_line "receive WM_INTERNAL_SWITCH wParam is 3,CurrentIndex 0"
expect_no_debug_line "receive WM_INTERNAL_SWITCH wParam is 3,CurrentIndex 1"
# One delivery per instance.
count=$(debug_lines | grep -c "receive WM_INTERNAL_SWITCH wParam is 1,")
[ "$count" -eq 2 ] || fail "expected 2 lines for wParam 1, saw $count"
