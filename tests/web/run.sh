#!/usr/bin/env bash
# The browser tests: the WebAssembly build in Debian's headless chromium,
# against the native simulator and heavy-frame timer. Builds only what is
# missing (scripts/web.sh --build-only builds everything), installs the
# driver (puppeteer-core, pinned in package-lock.json) with npm ci.
#   bash tests/web/run.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
if [ ! -f build-web/swarmbreak.wasm ] || [ ! -f build-web/heavy_frame.wasm ] ||
   [ ! -x build-web-native/tools/sim/swarmbreak-sim ] || [ ! -x build-web-native/heavy_frame ]; then
  bash scripts/web.sh --build-only
else
  bash scripts/deps.sh web
fi
cd tests/web
if [ ! -d node_modules/puppeteer-core ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  npm ci --no-audit --no-fund --loglevel=error
fi
exec node --test browser_test.mjs
