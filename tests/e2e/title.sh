#!/usr/bin/env bash
# Given a fresh game folder, when the game starts, then a 640x480 window
# titled "Vornic Application" shows the title screen: the cycling frame, the
# ten letters settled in their row with black above and below, letters and
# logo pixel for pixel what the headless renderer draws; when Escape is
# pressed, then the game ends within about a second and writes the default
# high-score table.
source "$(dirname "$0")/lib.sh"

# The letters and the logo do not move from frame 200 on, so they must match
# the headless renderer's frame pixel for pixel (when the simulator is built).
sim_title_frame

start_x 640x480x24
make_game_dir
start_game
wait_window

read -r x y w h < <(window_geometry)
[ "$w $h" = "640 480" ] || fail "window is ${w}x${h}, not 640x480"

poll 40 "the title screen with its letters settled${SIM_FRAME:+, as in the headless frame}" title_settled
log "title settled after $((($(date +%s%N) - GAME_T0) / 1000000)) ms"

key Escape
wait_exit 10
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after Escape"
[ "$EXIT_MS" -le 4000 ] || fail "Escape took ${EXIT_MS} ms to end the game"

[ -f "$GAME/scores/hiscores.dat" ] || fail "no scores/hiscores.dat written"
expected=$WORK/expected.dat
for i in $(seq 0 9); do printf '%d\r\n%d\r\nMAX\r\n' $(((10 - i) * 5000)) $((10 - i)); done >"$expected"
cmp "$expected" "$GAME/scores/hiscores.dat" ||
  fail "hiscores.dat is not the default table in 30 CRLF lines: $(od -c "$GAME/scores/hiscores.dat" | head -5)"
[ ! -e "$GAME/errors.log" ] || fail "errors.log written although every image is there"
