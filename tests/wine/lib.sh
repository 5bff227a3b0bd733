# shellcheck shell=bash
# Sourced by every end-to-end scenario. Gives the scenario:
#   scenario_begin NAME [DESKTOP...]  checks the build, brings Wine up when the run has not,
#                                     opens the scenario's debug log; the desktops named are
#                                     the ones whose instance lists a failure report shows
#   drv ARGS...                       runs the test driver (output on stdout)
#   start_exe VAR DESKTOP [EXE]       starts the program there, its pid into VAR
#   wait_controller DESKTOP PID       waits for that process's controller window (its
#                                     driver line into CONTROLLER_LINE)
#   expect_list DESKTOP TEXT          waits until the instance list line contains TEXT
#   wait_debug_line TEXT [PID]        waits until the program wrote exactly TEXT
#   expect_no_debug_line TEXT [PID]   fails if it did
#   copy_stage VAR                    a copy of the staged installation in another folder,
#                                     the copy's exe path into VAR
#   fail MESSAGE                      prints what was seen (debug lines, windows, lists), ends
# At the end (pass or fail) only this run's Wine processes end: wineserver -k of its prefix.
# Every wait is bounded; the bounds below are generous for a loaded 2-core machine.

set -uo pipefail

: "${OMBREVANE_BUILD:?run through ctest, or set OMBREVANE_BUILD}"
: "${OMBREVANE_STAGE:=$OMBREVANE_BUILD/stage}"
: "${OMBREVANE_SOURCE:=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}"

# shellcheck source=env.sh
source "$OMBREVANE_SOURCE/tests/wine/env.sh"

# For the scenarios.
# shellcheck disable=SC2034
{
    CONTROLLER_CLASS=TTileSwitchMainForm
    APPLICATION_CLASS=TApplication
    WM_INTERNAL_QUIT=2228
    WM_INTERNAL_DLL_SWITCH=2238
}

DRIVER="$OMBREVANE_BUILD/tests/wine/driver/ombrevane_driver.exe"
EXE="$OMBREVANE_STAGE/bin/ombrevane.exe"
WAIT_MS=${OMBREVANE_E2E_WAIT_MS:-30000}
SCENARIO=""
SCENARIO_DIR=""
DEBUG_LOG=""
SCENARIO_DESKTOPS=()
_own_env=0

note() { echo "[$SCENARIO] $*"; }

# A Unix path as Wine sees it through its Z: drive.
win_path() {
    local p
    p=$(readlink -f "$1")
    echo "Z:${p//\//\\}"
}

# Process ids in Wine's debug lines are 4+ hex digits.
pid_hex() { printf '%04x' "$1"; }

# field "LINE" KEY: the value of KEY=value in a driver line.
field() {
    local word words
    read -ra words <<<"$1"
    for word in "${words[@]}"; do
        if [ "${word%%=*}" = "$2" ]; then
            echo "${word#*=}"
            return 0
        fi
    done
    return 1
}

drv() {
    WINEDEBUG=-all,+pid,+debugstr timeout 90 wine "$DRIVER" "$@" 2>>"$DEBUG_LOG"
}

scenario_begin() {
    SCENARIO=$1
    shift
    SCENARIO_DESKTOPS=("$@")
    [ -f "$EXE" ] || { echo "[$SCENARIO] FAIL: the program is not built: $EXE"; exit 1; }
    [ -f "$DRIVER" ] || { echo "[$SCENARIO] FAIL: the test driver is not built: $DRIVER"; exit 1; }
    SCENARIO_DIR="$OMBREVANE_BUILD/e2e/$SCENARIO"
    rm -rf "$SCENARIO_DIR"
    mkdir -p "$SCENARIO_DIR"
    DEBUG_LOG="$SCENARIO_DIR/debug.log"
    : >"$DEBUG_LOG"
    if [ "${OMBREVANE_WINE_READY:-0}" != 1 ] || [ -z "${WINEPREFIX:-}" ]; then
        # Run on its own (not from scripts/test.sh): bring up and later end a private Wine.
        wine_env_up >/dev/null || { echo "[$SCENARIO] FAIL: Wine did not come up"; exit 1; }
        _own_env=1
    fi
    trap _scenario_end EXIT
    # Nothing left over from an earlier scenario of this run.
    timeout 30 wineserver -k >/dev/null 2>&1
    timeout 30 wineserver -w >/dev/null 2>&1
    wine_server_keep
    note "prefix $WINEPREFIX, display $DISPLAY, log $DEBUG_LOG"
}

debug_lines() { grep -a 'debugstr' "$DEBUG_LOG" 2>/dev/null; }

_dump() {
    echo "----- [$SCENARIO] debug lines seen (last 80) -----"
    debug_lines | tail -n 80
    echo "----- [$SCENARIO] other Wine messages (last 20) -----"
    grep -av 'debugstr' "$DEBUG_LOG" | tail -n 20
    echo "----- [$SCENARIO] windows (program, shell) -----"
    drv list-windows | grep -aE "class=($CONTROLLER_CLASS|$APPLICATION_CLASS|Shell_TrayWnd)\$|^windows"
    local desktop
    for desktop in "${SCENARIO_DESKTOPS[@]}"; do
        echo "----- [$SCENARIO] instance list of $desktop -----"
        drv read-list "$desktop"
    done
    echo "-----"
}

fail() {
    # Called inside a command substitution, the report must still reach the log.
    if [ "$BASH_SUBSHELL" -gt 0 ]; then
        exec 1>&2
    fi
    echo "[$SCENARIO] FAIL: $*"
    _dump
    exit 1
}

_scenario_end() {
    local status=$?
    trap - EXIT
    timeout 30 wineserver -k >/dev/null 2>&1
    timeout 30 wineserver -w >/dev/null 2>&1
    if [ "$_own_env" = 1 ]; then
        wine_env_down
    else
        wine_server_keep
    fi
    if [ "$status" -eq 0 ]; then
        echo "[$SCENARIO] PASS"
    fi
    exit "$status"
}

# start_exe VAR DESKTOP [EXE]: the new process's id into VAR.
start_exe() {
    local out pid exe=${3:-$EXE}
    out=$(drv start "$2" "$(win_path "$exe")") || fail "could not start $exe on $2: $out"
    pid=${out#pid }
    [[ "$pid" =~ ^[0-9]+$ ]] || fail "start on $2 printed: $out"
    printf -v "$1" '%s' "$pid"
}

CONTROLLER_LINE=""

# wait_controller DESKTOP PID: the controller window of that process on that desktop.
wait_controller() {
    CONTROLLER_LINE=$(drv wait-window "$CONTROLLER_CLASS" "$1" "$WAIT_MS" "$2") ||
        fail "no $CONTROLLER_CLASS window of pid $2 on $1 within ${WAIT_MS} ms: $CONTROLLER_LINE"
}

read_list() { drv read-list "$1"; }

# expect_list DESKTOP TEXT: the list line (list max=.. count=.. pids=..) contains TEXT.
expect_list() {
    local out="" _
    for _ in $(seq 1 50); do
        out=$(read_list "$1")
        [[ "$out" == *"$2"* ]] && return 0
        sleep 0.2
    done
    fail "instance list of $1 reads '$out', expected '$2'"
}

# The lines the program wrote with text exactly TEXT (of process PID when given).
_debug_matches() {
    local needle="OutputDebugStringA \"$1\"" prefix=""
    [ -n "${2:-}" ] && prefix="$(pid_hex "$2"):"
    awk -v n="$needle" -v p="$prefix" '{
        at = index($0, n)
        if (at > 0 && at + length(n) - 1 == length($0) && (p == "" || index($0, p) == 1)) print
    }' "$DEBUG_LOG"
}

# wait_debug_line TEXT [PID] [TIMEOUT_S]
wait_debug_line() {
    local deadline=$((SECONDS + ${3:-30}))
    while [ "$SECONDS" -le "$deadline" ]; do
        [ -n "$(_debug_matches "$1" "${2:-}")" ] && return 0
        sleep 0.1
    done
    fail "no debug line \"$1\"${2:+ from pid $2} within ${3:-30} s"
}

expect_no_debug_line() {
    local seen
    seen=$(_debug_matches "$1" "${2:-}")
    [ -z "$seen" ] || fail "unexpected debug line \"$1\"${2:+ from pid $2}: $seen"
}

# copy_stage VAR: a copy of the staged installation (bin/, config/, help/) in another
# folder; the copy's exe path into VAR.
copy_stage() {
    local copy="$SCENARIO_DIR/other-folder"
    rm -rf "$copy"
    cp -r "$OMBREVANE_STAGE" "$copy" || fail "could not copy $OMBREVANE_STAGE"
    printf -v "$1" '%s' "$copy/bin/ombrevane.exe"
}
