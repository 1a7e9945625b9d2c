#!/usr/bin/env bash
# A short game with the sound switched off, driven like a player would:
#   O opens the options; Right turns invincibility on and Left the sound
#   off; holding Space starts a game; the cursor keys walk the player into
#   two corners, and a step with Space held starts it firing; Escape shows
#   the red prompt and N goes on; a close request shows it too and N goes
#   on, but after Escape and Y end the game the program ends instead of
#   showing the scores.
# Then: nothing but silence reached the audio device after the sound went
# off, and the high scores were saved.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/options.sh"

start_x 640x480x24
make_game_dir
start_game
wait_window

press_until o 10 "the options screen" options_shown
poll 10 "the arrow at line 0" arrow_at 0
press_until Down 10 "the arrow at line 1" arrow_at 1
press_until Down 10 "the arrow at line 2 (invincibility)" arrow_at 2
press_until Right 10 "invincibility On" value_is 2 330 On
press_until Down 10 "the arrow at line 3 (sound)" arrow_at 3
press_until Left 10 "sound Off" value_is 3 218 Off

# The selection sound of that last press still plays; what comes after it
# must be silence.
wav=$SB_GAME_DIR/sounds/shotborn.wav
rate=$(od -An -tu4 -j28 -N4 "$wav" | tr -d ' ')
sleep "$(awk -v n="$(stat -c %s "$wav")" -v r="$rate" 'BEGIN{print n / r + 0.5}')"
[ -f "$AUDIO" ] || fail "the disk audio driver wrote no $AUDIO"
quiet_from=$(stat -c %s "$AUDIO")

start_play
poll 20 "the player at the centre after the wave intro" player_at 320 240
# Nothing starts within 40 px of the walls, but humans and hulks may wander
# into the corners at once; only the player's helmet colour must be absent.
shot
helmet_in() { [ "$(count_colour "$1" "$2" 14 24 fafaec)" != 0 ]; }
if helmet_in 24 24 || helmet_in 24 432; then fail "the player's colours in a corner at the start"; fi

keydown Up Left
poll 30 "the player in the top-left corner" player_at 24 24
keyup Up Left

# A step right with Space held sets the fire direction, and the player goes
# on firing that way (control mode 0): shots (their heads are exactly fafaec,
# the player's own colour; explosions blending white into bone come near it)
# fly along the top.
shot
[ "$(count_colour 120 24 480 16 fafaec)" = 0 ] || fail "shots along the top before firing"
shots_along_top() { shot && probe colour:120,24,480,16,fafaec && [ "${P[0]}" -ge 8 ]; }
keydown Right space
poll 10 "shots flying along the top" shots_along_top
keyup Right space

keydown Down Left
poll 30 "the player in the bottom-left corner" player_at 24 432
keyup Down Left
alive "$GAME_PID" || fail "the game ended during play"

press_until Escape 10 "the quit prompt after Escape" prompt_shown
press_until n 10 "play resumed after N" prompt_gone
poll 10 "still playing after N" in_play

close_request
poll 10 "the quit prompt after a close request" prompt_shown
press_until n 10 "play resumed after N" prompt_gone
sleep 1
alive "$GAME_PID" || fail "a close request answered with N ended the program at once"
poll 10 "still playing after N to the close request" in_play

press_until Escape 10 "the quit prompt after Escape" prompt_shown
key y
wait_exit 10
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
[ "$EXIT_MS" -le 6000 ] || fail "after the close request and Y the game took ${EXIT_MS} ms to end"
[ "$(tr -d '\r' <"$GAME/scores/hiscores.dat" | wc -l)" = 30 ] || fail "hiscores.dat has not 30 lines"

loud_before=$(head -c "$quiet_from" "$AUDIO" | tr -d '\0' | wc -c)
loud_after=$(tail -c +$((quiet_from + 1)) "$AUDIO" | tr -d '\0' | wc -c)
total=$(stat -c %s "$AUDIO")
log "audio: $quiet_from bytes with sound on ($loud_before not silent), $((total - quiet_from)) after"
[ "$loud_before" -gt 0 ] || fail "no sound at all before the sound was switched off"
[ "$((total - quiet_from))" -gt 100000 ] || fail "the audio device stopped while playing"
[ "$loud_after" = 0 ] || fail "$loud_after bytes of sound after the sound was switched off"
