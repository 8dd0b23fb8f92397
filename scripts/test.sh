#!/usr/bin/env bash
# Sets the machine up, builds the tests and runs the whole suite.
# TUMBRAL_SANITIZE=1 builds and runs it with address and undefined-behaviour sanitizers instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# ccache, when present, keeps rebuilds of either tree short.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
echo "test: step 1 of 3: packages the build and the tests need"
"$root/scripts/setup.sh" test
if [[ "${TUMBRAL_SANITIZE:-0}" == 1 ]]; then
  dir=build/asan
  # System libraries keep some memory until exit; only they are suppressed.
  export LSAN_OPTIONS="suppressions=$root/scripts/lsan-suppressions.txt:print_suppressions=0"
  echo "test: step 2 of 3: building $dir with sanitizers (the first time takes several minutes)"
  "$root/scripts/build.sh" $dir Test -DTUMBRAL_SANITIZE=ON -DTUMBRAL_BENCH=OFF "${launcher[@]}"
else
  dir=build/test
  echo "test: step 2 of 3: building $dir (the first time takes several minutes)"
  "$root/scripts/build.sh" $dir Test "${launcher[@]}"
fi
echo "test: step 3 of 3: running the suite"
cd "$root/$dir"
ctest --output-on-failure --parallel "$(nproc)" --timeout 300
