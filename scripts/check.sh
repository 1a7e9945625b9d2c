#!/usr/bin/env bash
# Project rules that a compiler does not check.
set -euo pipefail
cd "$(dirname "$0")/.."
fail=0
# Only the platform layer may talk to SDL.
if grep -rlE '#include\s*[<"]SDL' --include='*.cpp' --include='*.h' src tools bench \
    | grep -v '^src/platform/'; then
  echo "check: SDL included outside src/platform (files above)" >&2
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
exit $fail
