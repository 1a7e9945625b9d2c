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

keydown space
poll 10 "the game has started (playfield border)" in_play
keyup space
poll 10 "the player at the centre after the wave intro" player_at 320 240
[ -f "$AUDIO" ] || fail "the disk audio driver wrote no $AUDIO"
play_from=$(stat -c %s "$AUDIO")

keydown Right space
sleep 1.5
keyup Right space
alive "$GAME_PID" || fail "the game ended during play"
sleep 0.5
play_to=$(stat -c %s "$AUDIO")

press_until Escape 5 "the quit prompt after Escape" prompt_shown
key y

# A score above the tenth of the table asks for a name first.
scores_or_entry() {
  shot
  if [ "$(count_tint 240 40 140 14 ff0000)" -ge 100 ] && [ "$(count_tint 140 80 308 14 00ff00)" -ge 100 ]; then
    return 0 # "Top Scores" in red over the green column titles
  fi
  if area_filled 100 40 210 14 10 && area_filled 100 80 294 14 10; then
    key y # "Congratulations": take the offered name
  fi
  return 1
}
poll 10 "the high-score table after the game" scores_or_entry
alive "$GAME_PID" || fail "the program ended after Y instead of showing the scores"

key Escape
wait_exit 5
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"

loud=$(head -c "$play_to" "$AUDIO" | tail -c +$((play_from + 1)) | tr -d '\0' | wc -c)
log "audio: $((play_to - play_from)) bytes while playing and firing, $loud not silent"
[ "$((play_to - play_from))" -gt 50000 ] || fail "the audio device did not run during play"
[ "$loud" -gt 1000 ] || fail "play with the sound on was silent"
