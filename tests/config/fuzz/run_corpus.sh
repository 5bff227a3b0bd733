#!/usr/bin/env bash
# Builds the INI fuzz target with clang (libFuzzer, ASan, UBSan) when its sources changed,
# then runs it over the committed corpus only: a regression test, no fuzzing time.
# Usage: run_corpus.sh <source root> <output folder>
# A longer run: <output folder>/ini_fuzz -runs=10000000 -max_len=4096 -timeout=10 <corpus copy>
set -euo pipefail
src=$1
out=$2
corpus="$src/tests/config/fuzz/corpus"
if ! command -v clang++ >/dev/null 2>&1; then
  echo "SKIPPED: clang++ is not installed, so the INI fuzz corpus cannot run" >&2
  exit 77
fi
mkdir -p "$out"
bin="$out/ini_fuzz"
sources=("$src/tests/config/fuzz/IniFile_fuzz.cpp" "$src/src/config/IniFile.cpp")
stale=0
[ -x "$bin" ] || stale=1
for f in "${sources[@]}" "$src/src/config/IniFile.h" "$0"; do
  [ "$f" -nt "$bin" ] && stale=1
done
if [ "$stale" = 1 ]; then
  clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I "$src/src" "${sources[@]}" -o "$bin.new"
  mv "$bin.new" "$bin"
fi
files=("$corpus"/*)
if [ "${#files[@]}" -eq 0 ] || [ ! -e "${files[0]}" ]; then
  echo "no corpus files in $corpus" >&2
  exit 1
fi
"$bin" -max_len=4096 -timeout=10 -rss_limit_mb=2048 "${files[@]}"
