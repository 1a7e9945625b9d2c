#!/usr/bin/env bash
# With the sound on (the default), holding Space on the title screen starts a
# game; walking while holding Space fires, and the game's sound reaches the
# audio device (SDL's disk driver). Escape and Y end the game, which goes on
# to the high-score screens, and Escape there ends the program.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/options.sh"

start_x 640x480x24
make_game_dir
start_game
wait_window

start_play
poll 20 "the player at the centre after the wave intro" player_at 320 240
[ -f "$AUDIO" ] || fail "the disk audio driver wrote no $AUDIO"
play_from=$(stat -c %s "$AUDIO")

keydown Right space
sleep 1.5
keyup Right space
alive "$GAME_PID" || fail "the game ended during play"
sleep 0.5
play_to=$(stat -c %s "$AUDIO")

press_until Escape 10 "the quit prompt after Escape" prompt_shown
key y

poll 20 "the high-score table after the game" scores_after_game
alive "$GAME_PID" || fail "the program ended after Y instead of showing the scores"

key Escape
wait_exit 10
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"

loud=$(head -c "$play_to" "$AUDIO" | tail -c +$((play_from + 1)) | tr -d '\0' | wc -c)
log "audio: $((play_to - play_from)) bytes while playing and firing, $loud not silent"
[ "$((play_to - play_from))" -gt 50000 ] || fail "the audio device did not run during play"
[ "$loud" -gt 1000 ] || fail "play with the sound on was silent"
