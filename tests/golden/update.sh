#!/usr/bin/env bash
# Regenerates tests/golden/expected.txt from the current game. Run it only
# when a change of behaviour is intended, and say so in the commit.
#
#   tests/golden/update.sh [build-folder]     (default: build)
#
# Cases run in fresh folders with the build's images and sounds and an empty
# scores/ (run_case.cmake), exactly as the tests run them.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
sim="$build/tools/sim/swarmbreak-sim"
# SB_GOLDEN_NO_BUILD=1 uses the build folder as it is.
if [ -z "${SB_GOLDEN_NO_BUILD:-}" ]; then
  cmake --build "$build" --target swarmbreak-sim game_assets -j2 >/dev/null
fi
[ -x "$sim" ] || { echo "update.sh: $sim not built" >&2; exit 1; }

out="$here/expected.txt.new"
{
  echo "# Golden digests: <case> <digest>. Regenerate with tests/golden/update.sh."
  echo "# Game commit: $(git -C "$root" rev-parse --short HEAD)"
  for args in "$here"/cases/*.args; do
    case_name="$(basename "$args" .args)"
    cmake -DSIM="$sim" -DGAME_DIR="$build/game" -DCASES="$here/cases" -DWORK="$build/golden" \
      -DCASE="$case_name" -DPRINT=1 -P "$here/run_case.cmake" 2>&1
  done
} >"$out"
mv "$out" "$here/expected.txt"
cat "$here/expected.txt"
