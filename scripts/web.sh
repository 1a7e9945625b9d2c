#!/usr/bin/env bash
# The game in a browser: builds the WebAssembly version into build-web/ (the
# images and sounds come from a native asset generator in build-web-native/)
# and serves it on 127.0.0.1.
#   bash scripts/web.sh                 install what is missing, build, serve
#   bash scripts/web.sh --build-only    install what is missing, build
#   SB_WEB_PORT=8080                    the port to serve on (default 8000)
set -euo pipefail
cd "$(dirname "$0")/.."
build_only=0
[ "${1:-}" = --build-only ] && build_only=1

bash scripts/deps.sh web
# Emscripten's optimiser needs Debian's JavaScript modules (acorn).
NODE_PATH="$(dirname "$(dpkg -L node-acorn | grep -m1 '/acorn/package.json$')")/.."
export NODE_PATH

# Native: the asset generator (its output is bundled), the simulator and the
# heavy-frame timer (the browser tests compare against both).
cmake -S . -B build-web-native -DCMAKE_BUILD_TYPE=Release -DSB_TESTS=OFF -DSB_BENCH=OFF \
  -DSB_WEB_NATIVE=ON >/dev/null
cmake --build build-web-native -j2 --target game_assets swarmbreak-sim heavy_frame

# The browser build.
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release \
  -DSB_WEB_ASSETS="$PWD/build-web-native/game" >/dev/null
cmake --build build-web -j2
echo "Built: build-web/index.html ($(du -cb build-web/swarmbreak.{js,wasm,data} | tail -1 | cut -f1) bytes to transfer)"

[ $build_only = 1 ] && exit 0
port="${SB_WEB_PORT:-8000}"
echo "Play at http://127.0.0.1:$port/  (Ctrl+C stops the server)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web
