#!/usr/bin/env bash
# The setup under Wine: a silent install into the prefix's %LOCALAPPDATA%\Programs\Ombrevane;
# the files where they belong and the uninstaller registered; the installed program starts and
# shows its icon; its version block reads back as built; a second silent install over the
# running program, started from a created desktop, ends it first and leaves one new instance
# on "Default"; the silent uninstall ends the
# instances and removes the program, the start-with-Windows value and the first-run marker,
# and keeps the settings files. Wine's exit codes say nothing here: only files, registry
# values and processes are judged.
# Leaves the tray screenshots in <build>/e2e/installer.
# shellcheck source=../wine/lib.sh
source "$(dirname "$0")/../wine/lib.sh"
scenario_begin installer Default

shopt -s nullglob
setups=("$OMBREVANE_BUILD"/Ombrevane-*-setup.exe)
[ "${#setups[@]}" -eq 1 ] || fail "expected one setup in $OMBREVANE_BUILD, found: ${setups[*]:-none}"
setup=${setups[0]}
version=$(basename "$setup" | sed 's/^Ombrevane-//; s/-setup.exe$//')
RESOURCES_TEST="$OMBREVANE_BUILD/tests/release/release_resources_test.exe"
RUN_ON_DESKTOP="$OMBREVANE_BUILD/tests/release/run_on_desktop.exe"
RUN_KEY='HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
MARKER_KEY='HKCU\SOFTWARE\Tolvarine\TileSwitch'
UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ombrevane'

wine_q() { WINEDEBUG=-all timeout 120 wine "$@" 2>/dev/null | tr -d '\r'; }
reg_value() { wine_q reg query "$1" /v "$2" | awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^  */, ""); print }'; }
key_exists() { wine_q reg query "$1" | grep -qi "^$1"; }

local_win=$(wine_q cmd /c echo '%LOCALAPPDATA%')
[ -n "$local_win" ] || fail "no %LOCALAPPDATA% in the prefix"
inst_win="$local_win\\Programs\\Ombrevane"
inst=$(WINEDEBUG=-all winepath -u "$inst_win" 2>/dev/null)
[ -n "$inst" ] || fail "cannot map $inst_win"
exe_win="$inst_win\\bin\\ombrevane.exe"
start_menu=$(WINEDEBUG=-all winepath -u "$(wine_q cmd /c echo '%APPDATA%')\\Microsoft\\Windows\\Start Menu\\Programs" 2>/dev/null)
rm -rf "$inst"
note "setup $setup ($version) into $inst_win"

# Counts the pixels of one colour in a screenshot.
count_colour() {
    convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format "%[fx:round(mean*w*h)]" info:
}

# --- Silent install into an empty prefix -------------------------------------------------------
timeout 180 wine "$setup" /S >>"$DEBUG_LOG" 2>&1
for path in bin/ombrevane.exe bin/inputward.dll help/Ombrevane.chm Uninstall.exe; do
    [ -f "$inst/$path" ] || fail "not installed: $path"
done
for path in bin/ombrevane.exe bin/inputward.dll help/Ombrevane.chm; do
    cmp -s "$inst/$path" "$OMBREVANE_STAGE/$path" || fail "$path differs from the staged one"
done
[ -d "$inst/config" ] || fail "no config folder"
[ -z "$(find "$inst/config" -name '*.ini')" ] || fail "the setup installed settings files"
[ -f "$start_menu/Ombrevane.lnk" ] || fail "no Start menu entry in $start_menu"
[ "$(reg_value "$UNINSTALL_KEY" DisplayVersion)" = "$version" ] || fail "Uninstall key: $(wine_q reg query "$UNINSTALL_KEY")"
[ "$(reg_value "$UNINSTALL_KEY" QuietUninstallString)" = "\"$inst_win\\Uninstall.exe\" /S" ] ||
    fail "QuietUninstallString: $(reg_value "$UNINSTALL_KEY" QuietUninstallString)"
note "installed: $(cd "$inst" && find . -type f | sort | tr '\n' ' ')"

# --- The installed files carry the version block and icon as built ------------------------------
out=$(OMBREVANE_RESOURCE_BIN="$inst_win\\bin" WINEDEBUG=-all timeout 120 wine "$RESOURCES_TEST" 2>&1 | tr -d '\r')
[[ "$out" == *"[  PASSED  ]"* && "$out" != *"FAILED"* ]] || fail "resources of the installed files: $out"
note "version block, icon and manifest of the installed files read back as built"

# --- The installed program starts and shows its icon ----------------------------------------------
import -window root "$SCENARIO_DIR/before.png"
out=$(drv start Default "$exe_win") || fail "could not start $exe_win: $out"
first=${out#pid }
wait_controller Default "$first"
expect_list Default "list max=1 count=1 pids=$first"
sleep 2
import -window root "$SCENARIO_DIR/running.png"
orange=$(($(count_colour "$SCENARIO_DIR/running.png" "rgb(222,139,48)") - $(count_colour "$SCENARIO_DIR/before.png" "rgb(222,139,48)")))
frame=$(($(count_colour "$SCENARIO_DIR/running.png" "rgb(232,243,12)") - $(count_colour "$SCENARIO_DIR/before.png" "rgb(232,243,12)")))
note "the installed program runs as pid $first; new tray pixels: orange $orange, frame $frame"
[ "$orange" -ge 100 ] && [ "$frame" -ge 50 ] || fail "no new orange square with a yellow frame on screen"

# What a user has by now: settings files, the start-with-Windows value and the first-run
# marker (the program writes them itself; they are put there when it has not).
printf '[tileswitch]\r\nFormVersion=0\r\n' >"$SCENARIO_DIR/tileswitch.ini"
[ -f "$inst/config/tileswitch.ini" ] || cp "$SCENARIO_DIR/tileswitch.ini" "$inst/config/tileswitch.ini"
printf '[General]\r\nname=Mine\r\n' >"$inst/config/desktop4.ini"
printf 'A tip\r\n' >"$inst/config/tips.txt"
[ -n "$(reg_value "$RUN_KEY" Ombrevane)" ] ||
    wine_q reg add "$RUN_KEY" /v Ombrevane /d "\"$exe_win\" -min" /f >/dev/null
key_exists "$MARKER_KEY" || wine_q reg add "$MARKER_KEY" /f >/dev/null
mkdir -p "$SCENARIO_DIR/settings"
cp "$inst"/config/*.ini "$SCENARIO_DIR/settings/"

# --- A second silent install over the running program, from another desktop ---------------------
# The setup must find the controller on "Default" from there, and start the new copy there.
setup_win=$(win_path "$setup")
out=$(WINEDEBUG=-all timeout 200 wine "$RUN_ON_DESKTOP" 'SecretDesktop##1' 180000 "$setup_win" /S 2>>"$DEBUG_LOG" | tr -d '\r')
[[ "$out" == "exit code="* ]] || fail "the setup on SecretDesktop##1: $out"
out=$(drv wait-exit "$first" "$WAIT_MS") || fail "the running program was not ended by the update: $out"
second=""
for _ in $(seq 1 100); do
    line=$(read_list Default)
    second=$(sed -n 's/^list max=1 count=1 pids=\([0-9]*\)$/\1/p' <<<"$line")
    [ -n "$second" ] && break
    sleep 0.2
done
[ -n "$second" ] && [ "$second" != "$first" ] || fail "after the update the list reads: $line"
wait_controller Default "$second"
count=$(drv list-windows "$CONTROLLER_CLASS" Default | grep -c "class=$CONTROLLER_CLASS")
[ "$count" -eq 1 ] || fail "$count controller windows on Default after the update"
for file in "$SCENARIO_DIR"/settings/*.ini; do
    cmp -s "$file" "$inst/config/$(basename "$file")" || fail "the update changed $(basename "$file")"
done
note "update from SecretDesktop##1: pid $first ended, pid $second runs on Default, settings untouched"

# --- Silent uninstall ---------------------------------------------------------------------------------
running=""
for desktop in Default 'SecretDesktop##1' 'SecretDesktop##2' 'SecretDesktop##3' 'SecretDesktop##4'; do
    line=$(read_list "$desktop")
    [[ "$line" == *"count=1"* ]] && running="$running $desktop"
done
note "instances running before the uninstall on:$running"
timeout 180 wine "$inst/Uninstall.exe" /S >>"$DEBUG_LOG" 2>&1
# The uninstaller works from a copy of itself in the temporary folder: wait for its work.
for _ in $(seq 1 150); do
    [ -e "$inst/bin" ] || [ -e "$inst/Uninstall.exe" ] || break
    sleep 0.2
done
out=$(drv wait-exit "$second" "$WAIT_MS") || fail "the uninstaller left the program running: $out"
for desktop in Default 'SecretDesktop##1' 'SecretDesktop##2' 'SecretDesktop##3' 'SecretDesktop##4'; do
    line=$(read_list "$desktop")
    [[ "$line" == *"missing"* || "$line" == *"count=0"* ]] || fail "an instance on $desktop is still listed: $line"
done
for path in bin help Uninstall.exe config/tips.txt; do
    [ ! -e "$inst/$path" ] || fail "not removed: $path"
done
[ ! -e "$start_menu/Ombrevane.lnk" ] || fail "the Start menu entry is still there"
[ -z "$(reg_value "$RUN_KEY" Ombrevane)" ] || fail "the start-with-Windows value is still there"
! key_exists "$MARKER_KEY" || fail "the first-run marker key is still there"
! key_exists "$UNINSTALL_KEY" || fail "the uninstaller is still registered"
for file in "$SCENARIO_DIR"/settings/*.ini; do
    cmp -s "$file" "$inst/config/$(basename "$file")" || fail "settings file $(basename "$file") not kept"
done
note "uninstalled; kept: $(cd "$inst" && find . -type f | sort | tr '\n' ' ')"
