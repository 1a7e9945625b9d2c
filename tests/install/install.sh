#!/usr/bin/env bash
# Given the game installed into a scratch prefix, then the launcher, binary,
# art, sound, desktop entry, AppStream metadata and icons are where desktops
# look for them and pass their validators; when the launcher runs, then the
# game plays from the player's own folder under XDG_DATA_HOME (links to the
# installed art and sound, a real scores/ folder) and keeps the player's high
# scores when the installation moves; without XDG_DATA_HOME the folder is
# ~/.local/share/swarmbreak.
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/../e2e/options.sh"
: "${SB_BUILD_DIR:?}" "${SB_INSTALL_BINDIR:?}" "${SB_INSTALL_LIBEXECDIR:?}" "${SB_INSTALL_DATADIR:?}" "${SB_SHARE:?}"

# Absolute install folders lie outside any scratch prefix: nothing to test here.
for d in "$SB_INSTALL_BINDIR" "$SB_INSTALL_LIBEXECDIR" "$SB_INSTALL_DATADIR" "$SB_SHARE"; do
  case $d in /*) log "skipped: absolute install folder $d" && exit 77 ;; esac
done

prefix=$WORK/prefix
cmake --install "$SB_BUILD_DIR" --prefix "$prefix" >"$WORK/install.log" 2>&1 ||
  fail "cmake --install failed: $(tail -5 "$WORK/install.log")"

# --- what is installed ---------------------------------------------------------
launcher=$prefix/$SB_INSTALL_BINDIR/swarmbreak
binary=$prefix/$SB_INSTALL_LIBEXECDIR/swarmbreak
data=$prefix/$SB_INSTALL_DATADIR
share=$prefix/$SB_SHARE

[ -x "$launcher" ] && head -n 1 "$launcher" | grep -q '^#!/bin/sh' || fail "no launcher script at $launcher"
[ -x "$binary" ] && [ "$(head -c 4 "$binary" | od -An -c | tr -d ' ')" = '177ELF' ] ||
  fail "no game binary at $binary"
for f in player hulks grunts progs brains cruises spheroids enforcers quarks tanks balls pluses \
  electrodes humans shots death bits points kelfont arrow tessik zantrel; do
  [ -s "$data/images/$f.bmp" ] || fail "images/$f.bmp not installed"
done
for f in shotborn newwave playerhit bonus gruntborn gruntwalk grunthit hulkhit brainborn brainhit \
  humansaved humanhit progborn proghit prog cruiseborn spheroid spheroidhit enforcer enforcerhit \
  plusborn quark quarkhit tank tankhit ballborn electrodehit; do
  [ -s "$data/sounds/$f.wav" ] || fail "sounds/$f.wav not installed"
done

desktop=$share/applications/org.swarmbreak.Swarmbreak.desktop
desktop-file-validate "$desktop" || fail "desktop entry does not validate"
grep -qx 'Categories=Game;ArcadeGame;' "$desktop" || fail "desktop entry is not in Game;ArcadeGame;"
grep -qx 'Exec=swarmbreak' "$desktop" && grep -qx 'Icon=swarmbreak' "$desktop" ||
  fail "desktop entry does not start the launcher with our icon"
metainfo=$share/metainfo/org.swarmbreak.Swarmbreak.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$WORK/appstream.log" 2>&1 ||
  fail "metainfo does not validate: $(cat "$WORK/appstream.log")"
for size in 48 128; do
  icon=$share/icons/hicolor/${size}x$size/apps/swarmbreak.png
  [ "$(identify -format '%m %wx%h' "$icon" 2>/dev/null)" = "PNG ${size}x$size" ] ||
    fail "no ${size}x$size PNG icon at $icon"
done

# --- playing through the launcher ------------------------------------------------
start_x 640x480x24
export HOME=$WORK/home XDG_DATA_HOME=$WORK/xdg
mkdir -p "$HOME"
GAME=$WORK # the launcher moves to the player's folder itself
SB_RUN=$launcher
player=$XDG_DATA_HOME/swarmbreak

start_game
wait_window
[ -L "$player/images" ] && [ "$(readlink -f "$player/images")" = "$(readlink -f "$data/images")" ] &&
  [ -L "$player/sounds" ] && [ "$(readlink -f "$player/sounds")" = "$(readlink -f "$data/sounds")" ] ||
  fail "the player's folder does not link to the installed art and sound: $(ls -l "$player")"
[ -d "$player/scores" ] && [ ! -L "$player/scores" ] || fail "no scores/ folder of the player's own"

keydown space
poll 15 "a game started through the launcher" in_play
keyup space
press_until Escape 10 "the quit prompt" prompt_shown
key y
poll 20 "the high scores after the game" scores_after_game
key Escape
wait_exit 10
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
[ "$(tr -d '\r' <"$player/scores/hiscores.dat" | wc -l)" = 30 ] || fail "no high scores saved for the player"

# The player's table survives moving (or upgrading) the installation.
for i in $(seq 0 9); do printf '%d\r\n%d\r\nPLR\r\n' $((90000 - i * 1000)) 7; done >"$player/scores/hiscores.dat"
cp "$player/scores/hiscores.dat" "$WORK/expected.dat"
mv "$prefix" "$WORK/moved"
launcher=$WORK/moved/${launcher#"$prefix"/}
data=$WORK/moved/${data#"$prefix"/}
SB_RUN=$launcher
start_game
wait_window
[ "$(readlink -f "$player/images")" = "$(readlink -f "$data/images")" ] ||
  fail "the links were not renewed after the installation moved"
key Escape
wait_exit 10
cmp "$WORK/expected.dat" "$player/scores/hiscores.dat" || fail "the player's high scores changed"

# Without XDG_DATA_HOME the folder is ~/.local/share/swarmbreak.
unset XDG_DATA_HOME
start_game
wait_window
key Escape
wait_exit 10
[ -L "$HOME/.local/share/swarmbreak/images" ] && [ -f "$HOME/.local/share/swarmbreak/scores/hiscores.dat" ] ||
  fail "no game folder under ~/.local/share/swarmbreak"
