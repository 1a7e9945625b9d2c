#!/usr/bin/env bash
# Given a game folder without images/hulks.bmp and images/shots.bmp, when the
# game starts, then it writes the one errors.log line naming both (hulks by
# its old name "hulk.bmp"), draws nothing, ends about two seconds later and
# leaves the high scores alone.
source "$(dirname "$0")/lib.sh"

start_x 640x480x24
make_game_dir hulks.bmp shots.bmp
start_game

poll 20 "errors.log written" test -s "$GAME/errors.log"
logged=$(date +%s%N)
log "errors.log after $(((logged - GAME_T0) / 1000000)) ms"

# While it waits, nothing is drawn: the whole screen stays black.
shot root
area_black 0 0 640 480 || fail "something was drawn while the failure was reported"

wait_exit 10
after=$((($(date +%s%N) - logged) / 1000000))
[ "$after" -ge 1800 ] || fail "ended ${after} ms after writing errors.log, expected about 2000"
[ "$after" -le 4000 ] || fail "ended only ${after} ms after writing errors.log"

printf 'Failed to load file: hulk.bmpFailed to load file: shots.bmpCheck Directory Structure.\r\n' \
  >"$WORK/expected.log"
cmp "$WORK/expected.log" "$GAME/errors.log" || fail "errors.log is: $(od -c "$GAME/errors.log")"
[ -z "$(ls -A "$GAME/scores")" ] || fail "the high scores were written: $(ls "$GAME/scores")"
