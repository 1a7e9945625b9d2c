#!/usr/bin/env bash
# Given the Debian package that scripts/package.sh built into dist/ and a
# player whose game folder (and high-score table) is kept from an earlier,
# source-built installation, when the package is installed with dpkg and
# /usr/games/swarmbreak is started with a fresh HOME, then:
#  - the files are where the games layout puts them and pass their checks;
#  - the title is shown as the headless renderer draws it (with SB_SIM), the
#    window's class is the desktop entry's StartupWMClass, a game plays with
#    sound, and no errors.log is written;
#  - the player's kept table is used as it is, and the game writes nowhere
#    but the player's folder;
#  - the launcher passes every argument on, a replay file made absolute;
# and when the package is purged, none of its files is left.
#
# Installs and purges a package: run as root on a disposable machine. Builds
# nothing but the small X helper of the end-to-end tests (unless SB_XHELPER
# names one). Environment: SB_SIM (the headless simulator, optional),
# SB_XHELPER (optional), SB_E2E_OUT (default build-pkg/e2e).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
[ "$(id -u)" = 0 ] || { echo "package_test: run as root (it installs the package)" >&2; exit 1; }
arch=$(dpkg --print-architecture)
debs=("$root"/dist/swarmbreak_*_"$arch".deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] ||
  { echo "package_test: no single dist/swarmbreak_*_$arch.deb: run scripts/package.sh first" >&2; exit 1; }
deb=${debs[0]}

export SB_E2E_OUT=${SB_E2E_OUT:-$root/build-pkg/e2e}
if [ -z "${SB_XHELPER:-}" ]; then
  SB_XHELPER=$SB_E2E_OUT/sb-xhelper
  mkdir -p "$SB_E2E_OUT"
  g++ -std=c++20 -O1 -o "$SB_XHELPER" "$root/tests/e2e/xhelper.cpp" -lX11
fi
export SB_XHELPER SB_BIN=/usr/games/swarmbreak SB_GAME_DIR=/usr/share/games/swarmbreak
export E2E_NAME=package SB_E2E_LIMIT=${SB_E2E_LIMIT:-150}
source "$root/tests/e2e/lib.sh"
source "$root/tests/e2e/options.sh"

# A leftover of an earlier run on this machine would hide what dpkg does.
if dpkg-query -W -f='${Status}' swarmbreak 2>/dev/null | grep -q installed; then
  dpkg --purge swarmbreak >"$WORK/purge-old.log" 2>&1 || fail "cannot purge an earlier swarmbreak"
fi

# --- the player's folder from before the package ------------------------------
export HOME=$WORK/home # every XDG folder falls under it, so all writes can be seen
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME XDG_STATE_HOME
player=$HOME/.local/share/swarmbreak
mkdir -p "$player/scores"
ln -s /usr/local/share/swarmbreak/images "$player/images" # an old install, gone
for i in $(seq 0 9); do printf '%d\r\n%d\r\n%s\r\n' $((90000 - i * 1000)) $((30 - i)) "P$i "; done \
  >"$player/scores/hiscores.dat"
cp "$player/scores/hiscores.dat" "$WORK/kept.dat"
touch -d '1 minute ago' "$WORK/before"

# --- installing ------------------------------------------------------------------
if ! dpkg -i "$deb" >"$WORK/install.log" 2>&1; then
  apt-get -f install -y -qq >>"$WORK/install.log" 2>&1 || fail "cannot install: $(tail -5 "$WORK/install.log")"
fi
dpkg -L swarmbreak | sort >"$WORK/files.txt"
log "installed $(basename "$deb"): $(wc -l <"$WORK/files.txt") paths"

for f in /usr/games/swarmbreak /usr/lib/games/swarmbreak/swarmbreak \
  /usr/share/games/swarmbreak/images/tessik.bmp /usr/share/games/swarmbreak/sounds/newwave.wav \
  /usr/share/man/man6/swarmbreak.6.gz /usr/share/icons/hicolor/scalable/apps/swarmbreak.svg \
  /usr/share/icons/hicolor/48x48/apps/swarmbreak.png /usr/share/icons/hicolor/128x128/apps/swarmbreak.png; do
  grep -qx "$f" "$WORK/files.txt" || fail "the package does not install $f"
done
desktop=/usr/share/applications/org.swarmbreak.Swarmbreak.desktop
desktop-file-validate "$desktop" || fail "the installed desktop entry does not validate"
appstreamcli validate --pedantic --no-net /usr/share/metainfo/org.swarmbreak.Swarmbreak.metainfo.xml \
  >"$WORK/appstream.log" 2>&1 || fail "metainfo: $(cat "$WORK/appstream.log")"
! grep -E '^(E|W):' "$WORK/appstream.log" || fail "the metainfo has errors or warnings"
# The release in the metainfo is this version, dated like its changelog entry.
version=$(dpkg-query -W -f='${Version}' swarmbreak)
released=$(date -u +%F -d "$(zcat /usr/share/doc/swarmbreak/changelog.Debian.gz | sed -n '/^ -- /{s/^ -- .*>  //p;q;}')")
grep -q "<release version=\"${version%-*}\" date=\"$released\"" /usr/share/metainfo/org.swarmbreak.Swarmbreak.metainfo.xml ||
  fail "the metainfo has no release ${version%-*} dated $released"
# The scalable icon is the same emblem, pixel for pixel, as the 128 px one.
rsvg-convert -w 128 -h 128 /usr/share/icons/hicolor/scalable/apps/swarmbreak.svg -o "$WORK/svg.png"
[ "$(compare -metric AE "$WORK/svg.png" /usr/share/icons/hicolor/128x128/apps/swarmbreak.png null: 2>&1)" = 0 ] ||
  fail "the SVG icon drawn at 128 px differs from the 128 px icon"

# --- the launcher passes its arguments on -----------------------------------------
fake=$WORK/fake
mkdir -p "$fake/games" "$fake/lib/games/swarmbreak" "$WORK/here"
cp /usr/games/swarmbreak "$fake/games/"
printf '#!/bin/sh\n{ pwd; for a do printf "[%%s]" "$a"; done; echo; } >"%s"\n' "$WORK/args" \
  >"$fake/lib/games/swarmbreak/swarmbreak"
chmod +x "$fake/lib/games/swarmbreak/swarmbreak"
(cd "$WORK/here" && XDG_DATA_HOME=$WORK/xdg "$fake/games/swarmbreak" --replay a.replay "b c" "" \
  --replay=/abs/d --replay=e -x) || fail "the launcher failed with a stand-in game"
expected="$WORK/xdg/swarmbreak
[--replay][$WORK/here/a.replay][b c][][--replay=/abs/d][--replay=$WORK/here/e][-x]"
[ "$(cat "$WORK/args")" = "$expected" ] || fail "the launcher passed: $(cat "$WORK/args")"
rm -rf "$fake" "$WORK/xdg" "$WORK/here" "$WORK/args"

# --- playing the installed game ------------------------------------------------------
sim_title_frame

start_x 640x480x24
GAME=$WORK/start # the folder the player starts from; the launcher leaves it
mkdir -p "$GAME"
start_game
wait_window

# The title as the end-to-end title test sees it.
poll 40 "the title with its letters settled${SIM_FRAME:+, as in the headless frame}" title_settled
wm_class=$(xprop -id "$WID" WM_CLASS | sed -n 's/.*= "\([^"]*\)", "\([^"]*\)"/\2/p')
grep -qx "StartupWMClass=$wm_class" "$desktop" ||
  fail "the window's class \"$wm_class\" is not the desktop entry's StartupWMClass"
cmp -s "$WORK/kept.dat" "$player/scores/hiscores.dat" || fail "the kept table changed at start"
[ "$(readlink -f "$player/images")" = /usr/share/games/swarmbreak/images ] &&
  [ "$(readlink -f "$player/sounds")" = /usr/share/games/swarmbreak/sounds ] ||
  fail "the player's folder does not link to the installed art and sound: $(ls -l "$player")"

start_play
[ -f "$AUDIO" ] || fail "the disk audio driver wrote no $AUDIO"
from=$(stat -c %s "$AUDIO")
keydown Right space
sleep 1.5
keyup Right space
to=$(stat -c %s "$AUDIO")
loud=$(head -c "$to" "$AUDIO" | tail -c +$((from + 1)) | tr -d '\0' | wc -c)
log "audio: $((to - from)) bytes while firing, $loud not silent"
[ "$loud" -gt 1000 ] || fail "no sound while playing: the sounds were not found"
press_until Escape 10 "the quit prompt" prompt_shown
key y
poll 20 "the high-score table after the game" scores_after_game
key Escape
wait_exit 10
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"

[ ! -e "$player/errors.log" ] || fail "errors.log: $(cat "$player/errors.log")"
cmp "$WORK/kept.dat" "$player/scores/hiscores.dat" ||
  fail "the kept table was not used as it is: $(tr -d '\r' <"$player/scores/hiscores.dat" | head -6 | paste -sd' ')"

# Written only into the player's folder: nothing new in the home outside it,
# in the folder it was started from, or among the installed files.
new=$(find "$HOME" -newer "$WORK/before" ! -type d ! -path "$player/*")
[ -z "$new" ] || fail "written outside the player's folder: $new"
[ -z "$(ls -A "$GAME")" ] || fail "written into the start folder: $(ls -A "$GAME")"
dpkg --verify swarmbreak || fail "installed files changed"
find /usr/share/games/swarmbreak /usr/lib/games/swarmbreak | sort | comm -23 - "$WORK/files.txt" >"$WORK/extra.txt"
[ ! -s "$WORK/extra.txt" ] || fail "new files among the installed ones: $(cat "$WORK/extra.txt")"

# --- purging ----------------------------------------------------------------------------
dpkg --purge swarmbreak >"$WORK/purge.log" 2>&1 || fail "purge failed: $(cat "$WORK/purge.log")"
left=()
while IFS= read -r f; do
  if [ -L "$f" ] || [ -f "$f" ]; then
    left+=("$f")
  elif [ -d "$f" ] && [ -z "$(ls -A "$f")" ] && ! dpkg -S "$f" >/dev/null 2>&1; then
    left+=("$f/") # an empty folder nobody else owns
  fi
done <"$WORK/files.txt"
[ ${#left[@]} = 0 ] || fail "left after purging: ${left[*]}"
cmp -s "$WORK/kept.dat" "$player/scores/hiscores.dat" || fail "purging touched the player's table"
log "purged: none of the $(wc -l <"$WORK/files.txt") paths left; the player's table kept"
