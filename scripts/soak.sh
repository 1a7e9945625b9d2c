#!/usr/bin/env bash
# The long soak (not part of test.sh, which runs a short one):
#  1. sanitizer build: the bot plays an invincible game at difficulties 1, 3
#     and 5 from wave 1 to LEVEL (default 250: all hundred waves twice and on
#     into the third round); any sanitizer report, assertion, broken record
#     limit or heap growth after wave 10 fails. One more run at difficulty 3
#     draws every frame, to take the renderer through the wave table.
#  2. optimised build: the same runs for the resident-memory figures (the
#     sanitizer's quarantine makes its resident size meaningless).
#  3. a whole session (title, game, name entry, table, quit) under
#     LeakSanitizer, and under valgrind when it is installed.
# Figures go to stdout and to <build>/soak-report.txt.
#
#   bash scripts/soak.sh [LEVEL]    SB_SOAK_BUILD=prefix (default build-soak)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
level=${1:-250}
prefix=${SB_SOAK_BUILD:-build-soak}
case $prefix in /*) ;; *) prefix=$root/$prefix ;; esac
asan=$prefix-asan
plain=$prefix
jobs=$(nproc)
export SDL_AUDIODRIVER=dummy

cmake -S . -B "$asan" -DCMAKE_BUILD_TYPE=Debug -DSB_SANITIZE=ON -DSB_BENCH=OFF >/dev/null
cmake --build "$asan" -j"$jobs" --target sb-soak swarmbreak-sim
cmake -S . -B "$plain" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSB_BENCH=OFF >/dev/null
cmake --build "$plain" -j"$jobs" --target sb-soak swarmbreak-sim

report="$plain/soak-report.txt"
: >"$report"
fail=0
run() {  # label, command...
  local label=$1
  shift
  echo "== $label ==" | tee -a "$report"
  local status=0
  "$@" 2>&1 | tee -a "$report" || status=$?
  if [ "$status" != 0 ]; then
    echo "soak: $label FAILED (status $status)" | tee -a "$report"
    fail=1
  fi
}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for d in 1 3 5; do
  run "sanitizers, difficulty $d, to level $level" \
    "$asan/tests/sb-soak" --difficulty "$d" --to-level "$level" --seed "$d"
done
run "sanitizers, difficulty 3, drawn, to level 130" \
  "$asan/tests/sb-soak" --difficulty 3 --to-level 130 --seed 33 --draw
run "sanitizers, whole session" \
  bash tests/soak/flow.sh "$asan/tests/sb-soak" "$asan/tools/sim/swarmbreak-sim" \
  "$root/tests/soak/flow.input"
unset ASAN_OPTIONS UBSAN_OPTIONS

for d in 1 3 5; do
  run "optimised, drawn, difficulty $d, to level $level" \
    "$plain/tests/sb-soak" --difficulty "$d" --to-level "$level" --seed "$d" --draw
done
if command -v valgrind >/dev/null; then
  run "valgrind, whole session" \
    bash tests/soak/flow.sh "$plain/tests/sb-soak" "$plain/tools/sim/swarmbreak-sim" \
    "$root/tests/soak/flow.input" \
    valgrind -q --leak-check=full --errors-for-leak-kinds=definite,indirect,possible \
    --error-exitcode=9
fi
echo "report: $report"
[ "$fail" = 0 ] && echo "soak: all runs passed" || echo "soak: FAILED"
exit $fail
