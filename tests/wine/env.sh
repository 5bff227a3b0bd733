# Sourced: sets up and tears down the Wine environment of one test run.
#   wine_env_up    fresh WINEPREFIX, private Xvfb display (when none is given), wineboot,
#                  "Default" made a virtual desktop with a task bar
#   wine_env_down  ends only what wine_env_up started
# Every wait is bounded.

OMBREVANE_XVFB_PID=""
OMBREVANE_OWN_PREFIX=""

_wine_free_display() {
  local n
  for n in $(seq 91 160); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      echo "$n"
      return 0
    fi
  done
  return 1
}

wine_env_up() {
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  if [ -z "${DISPLAY:-}" ] || [ "${OMBREVANE_FORCE_XVFB:-0}" = 1 ] || [ "${CI:-}" = true ]; then
    local n
    n=$(_wine_free_display) || { echo "no free X display" >&2; return 1; }
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    OMBREVANE_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    [ -e "/tmp/.X11-unix/X$n" ] || { echo "Xvfb did not start" >&2; return 1; }
  fi
  OMBREVANE_OWN_PREFIX=$(mktemp -d /tmp/ombrevane-wine.XXXXXX)
  export WINEPREFIX="$OMBREVANE_OWN_PREFIX"
  echo "Wine prefix $WINEPREFIX on display $DISPLAY"
  timeout 300 wineboot -i >/dev/null 2>&1 || { echo "wineboot failed" >&2; return 1; }
  timeout 60 wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  timeout 60 wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  # Without EnableShell the virtual desktop has no task bar (and so no visible tray).
  timeout 60 wine reg add 'HKCU\Software\Wine\Explorer\Desktops\Default' /v EnableShell /t REG_DWORD /d 1 /f >/dev/null 2>&1
  timeout 120 wineserver -w
  wine_server_keep
  export OMBREVANE_WINE_READY=1
}

# A wineserver that lingers after its last client may be exiting just as the next test
# program connects ("recvmsg: Connection reset by peer"); a persistent one never does. Its
# service processes are started here with no output of a test attached, or ctest would wait
# for them to close that output.
wine_server_keep() {
  timeout 30 wineserver -p >/dev/null 2>&1
  timeout 60 wine cmd.exe /c exit </dev/null >/dev/null 2>&1
}

wine_env_down() {
  if [ -n "$OMBREVANE_OWN_PREFIX" ]; then
    WINEPREFIX="$OMBREVANE_OWN_PREFIX" timeout 30 wineserver -k >/dev/null 2>&1
    rm -rf "$OMBREVANE_OWN_PREFIX"
    OMBREVANE_OWN_PREFIX=""
  fi
  if [ -n "$OMBREVANE_XVFB_PID" ]; then
    kill "$OMBREVANE_XVFB_PID" 2>/dev/null
    wait "$OMBREVANE_XVFB_PID" 2>/dev/null
    OMBREVANE_XVFB_PID=""
  fi
}
