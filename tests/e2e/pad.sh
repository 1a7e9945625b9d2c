#!/usr/bin/env bash
# A player with only a controller (SDL's virtual joystick, plugged in after
# the game has started) reaches every screen: Back opens the options from
# the title, the d-pad picks a controller mode, Back returns; A starts a
# game; X held with the d-pad fires; Start pauses (the picture stands still)
# and resumes; the controller pulled out during play and plugged in again
# does no harm; Back asks to quit, B goes on, Back and Start end the game;
# Start confirms the name and the table follows.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/options.sh"

start_x 640x480x24
make_game_dir
# A table any first points enter.
for i in $(seq 10); do printf '0\n1\nLOW\n'; done >"$GAME/scores/hiscores.dat"
use_pad
start_game
wait_window
sleep 0.5
pad attach

title_back() { ! options_shown && ! in_play; }
pad_until back 10 "the options screen after Back" options_shown
poll 10 "the arrow at line 0" arrow_at 0
# To the control mode line, whichever way a held d-pad overshoots.
line=0
for _ in $(seq 12); do
  [ "$line" = 4 ] && break
  if [ "$line" -lt 4 ]; then b=dpdown; else b=dpup; fi
  pad_until "$b" 5 "the arrow moved" eval '! arrow_at '"$line"
  for k in $(seq 0 6); do arrow_at "$k" && line=$k && break; done
done
arrow_at 4 || fail "the arrow never reached the control mode line"
shot && mode0=$LAST_SHOT.mode0.ppm && cp "$LAST_SHOT" "$mode0"
# Left from mode 0 wraps to mode 7 (and a second step to 6): both are
# controller modes in which X held with the d-pad right fires.
mode_changed() { shot && IMG=$mode0 probe "diff:120,240,460,34,$LAST_SHOT" && [ "${P[0]}" -gt 0 ]; }
pad_until dpleft 5 "a controller mode chosen" mode_changed
pad_until back 10 "back on the title after Back" title_back
sleep 0.3
options_shown && fail "the options came back"

pad_until a 20 "a game started with A" in_play
sleep 2
pad press x
pad press dpright
sleep 4
pad release dpright
pad release x

# Start pauses: the picture stands still (in play, the border's colour
# cycles every frame; a death or a wave's start moves too), and stays so;
# Start again goes on.
still_since() { shot && IMG=$1 probe "diff:0,0,640,480,$LAST_SHOT" && [ "${P[0]}" = 0 ]; }
settled() {
  shot && still=$LAST_SHOT.still.ppm && cp "$LAST_SHOT" "$still" && sleep 0.5 && still_since "$still"
}
# A death's own still moment can pass for the pause and swallow the press
# (the death sequence forgets held keys and buttons): then try again.
paused=""
for attempt in 1 2 3; do
  pad_tap start
  for _ in $(seq 10); do settled && break; done
  sleep 1
  if still_since "$still"; then
    paused=1
    break
  fi
  log "attempt $attempt: the picture moved on (a death?)"
done
[ -n "$paused" ] || fail "the picture moved during the pause (${P[0]:-?} pixels)"
log "paused: the picture stood still for 1.5 s"
pad_tap start
moving() { shot && IMG=$still probe "diff:0,0,640,480,$LAST_SHOT" && [ "${P[0]}" -gt 0 ]; }
poll 5 "the game goes on after Start" moving

pad detach
sleep 1
alive "$GAME_PID" || fail "the game ended when the controller was pulled out"
poll 5 "still playing without a controller" in_play
pad attach
sleep 0.5

pad_until back 10 "the quit prompt after Back" prompt_shown
pad_until b 10 "play resumed after B" prompt_gone
poll 10 "still playing after B" in_play
pad_until back 10 "the quit prompt after Back" prompt_shown
pad_until start 10 "the name entry after Start" entry_shown
pad_until start 10 "the table after Start" scores_shown
alive "$GAME_PID" || fail "the game ended"
grep -q 'A  ' "$GAME/scores/hiscores.dat" && fail "the table was saved before the game ended"

close_request
wait_exit 10
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
grep -qx 'A  ' <(tr -d '\r' <"$GAME/scores/hiscores.dat") || fail "the name A was not saved"
grep -i 'test pad' "$WORK/game.log" && fail "the test pad refused a command"
exit 0
