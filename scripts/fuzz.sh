#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer + UBSan, in a
# build folder of their own) and runs them side by side, each for SECONDS
# (default 60), starting from its committed corpus under
# tests/fuzz/corpus/<target>/. Fails on any finding; the input that caused it
# is left in <build>/findings/<target>/ — once fixed, copy it into the corpus
# folder (named finding-*), so the replay tests keep it fixed.
#
#   bash scripts/fuzz.sh [SECONDS]     SB_FUZZ_BUILD=folder (default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
secs=${1:-60}
build=${SB_FUZZ_BUILD:-build-fuzz}
case $build in /*) ;; *) build=$root/$build ;; esac
targets=(image sound scores replay)

# Optimised but with assertions on (no NDEBUG). Paths below are absolute: the
# scores target works in a folder of its own.
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g" -DSB_FUZZ=ON -DSB_TESTS=OFF -DSB_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

export SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
pids=()
for t in "${targets[@]}"; do
  work="$build/fuzz-work/$t"  # new inputs land here, not in the committed corpus
  mkdir -p "$work" "$build/findings/$t"
  echo "== fuzz_$t for ${secs}s =="
  ( status=0
    "$build/tests/fuzz/fuzz_$t" -max_total_time="$secs" -max_len=16384 -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/findings/$t/" \
      "$work" "$root/tests/fuzz/corpus/$t" >"$build/fuzz-$t.log" 2>&1 || status=$?
    echo "$status" >"$build/fuzz-$t.status" ) &
  pids+=($!)
done
wait "${pids[@]}"

fail=0
summary=()
for t in "${targets[@]}"; do
  log="$build/fuzz-$t.log"
  status=$(cat "$build/fuzz-$t.status")
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  cov=$( (grep -oE 'cov: [0-9]+' "$log" || true) | tail -1 | cut -d' ' -f2)
  corpus=$(find "$build/fuzz-work/$t" -type f | wc -l)
  if [ "$status" != 0 ] || ls "$build/findings/$t"/* >/dev/null 2>&1; then
    tail -n 60 "$log"
    echo "fuzz_$t: FINDING (exit $status), input in $build/findings/$t/" >&2
    fail=1
    summary+=("fuzz_$t: FINDING after ${runs:-?} runs")
  else
    summary+=("fuzz_$t: ${runs:-?} runs (${speed:-?}/s), coverage ${cov:-?}, new corpus $corpus, no finding")
  fi
done
printf '%s\n' "${summary[@]}"
exit $fail
