#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the tests need, only
# those still missing. Safe to run again. Usage: deps.sh [build|test|package]
# (package: building the Debian package, lintian, and its install test)
set -euo pipefail
want=(cmake g++ make pkg-config libsdl2-dev)
if [ "${1:-build}" = test ]; then
  want+=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool x11-utils imagemagick
         x11-xkb-utils clang libclang-rt-14-dev clang-format clang-tidy cppcheck desktop-file-utils appstream
         libstb-dev)
fi
# The browser build (scripts/web.sh) and its tests in a headless browser.
if [ "${1:-build}" = web ]; then
  want+=(emscripten node-acorn libstb-dev chromium nodejs python3)
  command -v npm >/dev/null || want+=(npm)
fi
if [ "${1:-build}" = package ]; then
  want+=(dpkg-dev debhelper lintian xvfb xauth xdotool x11-utils libx11-dev imagemagick
         librsvg2-bin desktop-file-utils appstream)
fi
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" != 0 ]; then
  command -v sudo >/dev/null || { echo "Please run as root to install: ${missing[*]}" >&2; exit 1; }
  sudo=sudo
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
