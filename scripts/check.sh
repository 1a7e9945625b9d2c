#!/usr/bin/env bash
# Project rules that a compiler does not check, and static analysis.
#   check.sh            everything
#   SB_CHECK_FAST=1     rules and formatting only (no analysers)
set -euo pipefail
cd "$(dirname "$0")/.."
fail=0

# Only the platform layer (and its own tests, and the benchmark's peer that
# measures SDL's own renderer) may talk to SDL. The file list
# is taken first: a pipeline's status would hide a match whenever one of the
# folders is missing.
dirs=()
for d in src tools bench tests; do [ -d "$d" ] && dirs+=("$d"); done
sdl=$(grep -rlE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](SDL2/)?SDL' \
        --include='*.cpp' --include='*.h' --include='*.hpp' --include='*.cc' "${dirs[@]}" \
      | grep -vE '^(src/platform|tests/platform)/|^bench/sdl_peer\.cpp$' || true)
if [ -n "$sdl" ]; then
  echo "$sdl"
  echo "check: SDL included outside src/platform (files above)" >&2
  fail=1
fi

# Layers: a folder of src/ includes only its own folder and the layers below
# it, so the rules never reach for drawing, drawing never for a screen, and a
# screen never for the program around it. Same rank: neither includes the other.
layer_rank() {
  case $1 in
    platform) echo 0 ;; core) echo 1 ;; robots | scores) echo 2 ;; play) echo 3 ;;
    draw) echo 4 ;; screens) echo 5 ;; app) echo 6 ;; *) echo 7 ;;  # src/main*.cpp
  esac
}
upward=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_]+/' --include='*.cpp' --include='*.h' src |
  while IFS= read -r line; do
    file=${line%%:*}
    inc=$(printf '%s' "$line" | sed -E 's/.*#[[:space:]]*include[[:space:]]*"([a-z_]+)\/.*/\1/')
    own=$(printf '%s' "$file" | sed -E 's#^src/([a-z_]+)/.*#\1#; s#^src/[^/]*$#main#')
    [ "$own" = "$inc" ] && continue
    [ "$(layer_rank "$inc")" -lt "$(layer_rank "$own")" ] || echo "$line"
  done)
if [ -n "$upward" ]; then
  echo "$upward"
  echo "check: includes above run upward or sideways between layers (see docs/ARCHITECTURE.md)" >&2
  fail=1
fi

# Formatting.
if command -v clang-format >/dev/null; then
  bad=$(git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror 2>&1 | grep -c 'error:' || true)
  if [ "$bad" != 0 ]; then
    echo "check: $bad clang-format differences (run clang-format -i)" >&2
    fail=1
  fi
fi

[ "${SB_CHECK_FAST:-0}" = 1 ] && exit $fail

# Static analysis of the game, the platform and the tools (about a minute on
# two cores). Checks are chosen for real faults, not style:
#   bugprone-*                   use after move, dangling handles, sizeof and
#                                memset misuse, suspicious string compares,
#                                infinite loops, signed char misuse, ...
#   misc-redundant-expression    x == x, a && a: usually a typo
#   cert-err34-c                 atoi and friends, which cannot report errors
# left out, with reasons:
#   bugprone-easily-swappable-parameters   every (x, y) routine of the game
#   bugprone-narrowing-conversions         the rules convert reals on purpose
#                                          (Trunc, 32-bit float fields)
#   bugprone-implicit-widening-of-multiplication-result
#                                          products of small bounded ints
#   bugprone-branch-clone                  key maps give two keys one code
#   bugprone-incorrect-roundings           the renderer rounds filter
#                                          weights, never negative
jobs=$(nproc)
if command -v run-clang-tidy >/dev/null && command -v cmake >/dev/null; then
  cmake -S . -B build-check -DSB_TESTS=OFF -DSB_BENCH=OFF >/dev/null
  checks='-*,bugprone-*,-bugprone-easily-swappable-parameters,-bugprone-narrowing-conversions'
  checks+=',-bugprone-implicit-widening-of-multiplication-result,-bugprone-branch-clone'
  checks+=',-bugprone-incorrect-roundings,misc-redundant-expression,cert-err34-c'
  root=$(pwd)
  out=$(run-clang-tidy -quiet -p build-check -j "$jobs" -checks="$checks" \
          -header-filter="^$root/src/" "^$root/(src|tools)/" 2>&1 || true)
  # Colour codes stripped: run-clang-tidy forces them on.
  found=$(printf '%s\n' "$out" | sed 's/\x1b\[[0-9;]*m//g' | grep -E ': (warning|error): ' \
            | sort -u || true)
  if [ -n "$found" ]; then
    printf '%s\n' "$found"
    echo "check: clang-tidy findings (above)" >&2
    fail=1
  fi
else
  echo "check: clang-tidy not installed, skipped" >&2
fi
# cppcheck for what clang-tidy does not look at (uninitialised members,
# out-of-range constant indexes, leaks of plain pointers). The back end
# closing its own window from its destructor is meant. The browser build's
# files with JavaScript bodies (EM_JS) are not C++ to it.
if command -v cppcheck >/dev/null; then
  if ! cppcheck -q --std=c++20 --enable=warning,portability --inline-suppr -I src -j "$jobs" \
      --suppress=virtualCallInConstructor:src/platform/sdl_backend.cpp \
      -i src/main_web.cpp -i src/platform/web_backend.cpp \
      --error-exitcode=1 src tools; then
    echo "check: cppcheck findings (above)" >&2
    fail=1
  fi
else
  echo "check: cppcheck not installed, skipped" >&2
fi
exit $fail
