#!/usr/bin/env bash
# Builds and runs every test: a plain build with -Werror, then the same
# tests under AddressSanitizer + UndefinedBehaviorSanitizer, then the checks
# that need their own tools (static analysis, the browser build in headless
# chromium, the Debian package installed and purged, fuzzing).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)

bash scripts/deps.sh test

echo "== static checks =="
bash scripts/check.sh

echo "== plain build =="
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-test -j"$jobs"
ctest --test-dir build-test --output-on-failure -j"$jobs" --timeout 600

echo "== browser build and its tests in headless chromium =="
bash scripts/web.sh --build-only
bash tests/web/run.sh

echo "== Debian package: build, lintian, install, play, purge =="
bash scripts/package.sh
SB_SIM=$root/build-test/tools/sim/swarmbreak-sim SB_XHELPER=$root/build-test/tests/sb-xhelper \
  bash tests/package/package_test.sh

echo "== sanitizer build =="
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSB_SANITIZE=ON -DSB_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 900

if [ -f scripts/fuzz.sh ]; then
  echo "== fuzzing =="
  bash scripts/fuzz.sh "${SB_FUZZ_SECONDS:-60}"
fi
echo "== all tests passed =="
