#!/usr/bin/env bash
# Proves a change of structure left behaviour alone: builds the simulator of
# BASE (default HEAD) in a scratch worktree and of the working tree, runs both
# over the same varied set of games with full per-frame traces, and compares
# the traces byte for byte.
#
#   bash tests/golden/compare_traces.sh [BASE]      SB_TRACE_WORK=folder (default /tmp/sb-traces)
#
# The set: bot games from waves across the table at every difficulty (deaths,
# free men, wave changes, brains, spheroids, quarks), every control mode
# driven by a script that touches every key, axis and button, and the quit
# prompt answered both ways.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
base=${1:-HEAD}
work=${SB_TRACE_WORK:-/tmp/sb-traces}
jobs=$(nproc)
mkdir -p "$work"
rm -f "$work"/*.jsonl "$work"/*.out  # build folders are kept: later runs rebuild only what changed
git worktree remove --force "$work/base-src" >/dev/null 2>&1 || rm -rf "$work/base-src"

build_sim() { # source-folder build-folder targets...
  cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release -DSB_TESTS=OFF -DSB_BENCH=OFF >/dev/null
  cmake --build "$2" -j"$jobs" --target "${@:3}" >/dev/null
}

git worktree add --detach "$work/base-src" "$base" >/dev/null 2>&1
trap 'git -C "$root" worktree remove --force "$work/base-src" >/dev/null 2>&1 || true' EXIT
# Both run on the base's art and sound: they do not enter the traces.
build_sim "$work/base-src" "$work/base-build" swarmbreak-sim game_assets
build_sim "$root" "$work/head-build" swarmbreak-sim

# A script that presses every input the control modes read, in a changing mix.
mash=$work/mash.input
{
  keys=(left right up down space e s d f i j k l)
  f=20
  for i in $(seq 0 179); do
    k=${keys[$((i * 7 % ${#keys[@]}))]}
    echo "$f down $k"
    echo "$((f + 3 + i % 5)) joy x $((i % 3 - 1))"
    echo "$((f + 4 + i % 5)) joy y $(((i / 3) % 3 - 1))"
    echo "$((f + 5 + i % 7)) joy button $((i % 4 + 1)) $([ $((i % 2)) = 0 ] && echo down || echo up)"
    echo "$((f + 9 + i % 11)) up $k"
    f=$((f + 10 + i % 9))
  done
} | sort -n -s -k1,1 >"$mash"

cases=()
seed=101
for w in 1 4 9 12 19 25 33 47 58 66 77 88 100; do
  cases+=("bot_w$w|--seed $seed --bot --wave $w --difficulty $((seed % 5 + 1)) --frames 2500")
  seed=$((seed + 37))
done
for c in 0 1 2 3 4 5 6 7; do
  cases+=("mode$c|--seed $((900 + c)) --controls $c --wave $((c * 11 + 1)) --frames 1800 --input $mash")
done
cases+=("quit_prompt|--seed 3003 --frames 2000 --input $root/tests/golden/cases/quit_prompt.input")
cases+=("flow|--mode flow --seed 8008 --frames 4000 --input $root/tests/golden/cases/flow_screens.input")
cases+=("lives0|--seed 4004 --lives 0 --controls 2 --frames 3000")
cases+=("invincible|--seed 515 --bot --invincible --wave 40 --frames 3000")

fail=0
for c in "${cases[@]}"; do
  name=${c%%|*}
  read -r -a args <<<"${c#*|}"
  for side in base head; do
    "$work/$side-build/tools/sim/swarmbreak-sim" --assets "$work/base-build/game" "${args[@]}" \
      --trace "$work/$name.$side.jsonl" --digest >"$work/$name.$side.out" 2>&1 || true
  done
  if cmp -s "$work/$name.base.jsonl" "$work/$name.head.jsonl" &&
    cmp -s "$work/$name.base.out" "$work/$name.head.out"; then
    echo "same: $name ($(wc -l <"$work/$name.head.jsonl") frames; $(tail -n 1 "$work/$name.head.out"))"
  else
    echo "DIFFERENT: $name" >&2
    fail=1
  fi
done
[ $fail = 0 ] && echo "${#cases[@]} traces identical to $base" || exit 1
