#!/usr/bin/env bash
# Given a high-score file of the player's own, written with bare line feeds
# and a name with a trailing space, when the game starts and Escape is
# pressed at once, then the same table is written back in CRLF lines.
source "$(dirname "$0")/lib.sh"

start_x 640x480x24
make_game_dir
names=(ZED "AB " QQQ MAX "K  " ABC XYZ "   " TOM ANN)
for i in $(seq 0 9); do
  printf '%d\n%d\n%s\n' $(((10 - i) * 7001 + 3)) $((20 - i)) "${names[$i]}"
done >"$GAME/scores/hiscores.dat"
sed 's/$/\r/' "$GAME/scores/hiscores.dat" >"$WORK/expected.dat"

start_game
wait_window
key Escape
wait_exit 10
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after Escape"
cmp "$WORK/expected.dat" "$GAME/scores/hiscores.dat" ||
  fail "the table changed: $(od -c "$GAME/scores/hiscores.dat" | head -8)"
