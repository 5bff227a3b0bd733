#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests, then the Win32 tests and the
# end-to-end scenarios under Wine (a fresh prefix and a private Xvfb display for this run).
# Exits non-zero when anything fails.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/deps.sh || exit 1
jobs=$(nproc)
failed=0

bash scripts/build.sh native || exit 1
ctest --test-dir build/native --output-on-failure -j "$jobs" || failed=1

bash scripts/build.sh win || exit 1
# shellcheck source=../tests/wine/env.sh
source tests/wine/env.sh
wine_env_up || exit 1
trap wine_env_down EXIT
# Scenarios share one prefix and one virtual desktop, so they run one at a time.
ctest --test-dir build/win --output-on-failure -j 1 || failed=1

if [ "$failed" -ne 0 ]; then
  echo "SOME TESTS FAILED"
  exit 1
fi
echo "ALL TESTS PASSED"
