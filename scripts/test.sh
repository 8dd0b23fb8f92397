#!/usr/bin/env bash
# Sets the machine up, builds the tests and runs the whole suite.
# TUMBRAL_SANITIZE=1 builds and runs it with address and undefined-behaviour sanitizers instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
if [[ "${TUMBRAL_SANITIZE:-0}" == 1 ]]; then
  dir=build/asan
  # System libraries keep some memory until exit; only they are suppressed.
  export LSAN_OPTIONS="suppressions=$root/scripts/lsan-suppressions.txt:print_suppressions=0"
  "$root/scripts/build.sh" $dir RelWithDebInfo -DTUMBRAL_SANITIZE=ON -DTUMBRAL_BENCH=OFF
else
  dir=build/test
  "$root/scripts/build.sh" $dir RelWithDebInfo
fi
cd "$root/$dir"
ctest --output-on-failure --parallel "$(nproc)" --timeout 300
