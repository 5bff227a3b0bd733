#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian machine (run as root).
set -euo pipefail
need=()
have() { command -v "$1" >/dev/null 2>&1; }
have cmake || need+=(cmake)
have g++ || need+=(g++)
have clang++ || need+=(clang)
[ -f /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a ] || need+=(libclang-rt-14-dev)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
have x86_64-w64-mingw32-g++-posix || need+=(mingw-w64 g++-mingw-w64-x86-64-posix)
have wine || need+=(wine wine64)
have Xvfb || need+=(xvfb xauth)
have xdotool || need+=(xdotool)
have import || need+=(imagemagick)
have xwininfo || need+=(x11-utils)
have chmcmd || need+=(fp-utils)
have makensis || need+=(nsis)
have extract_chmLib || need+=(libchm-bin)
if [ ${#need[@]} -gt 0 ]; then
  echo "Installing: ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${need[@]}"
fi
