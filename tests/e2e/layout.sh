#!/usr/bin/env bash
# A German keyboard layout, where Y and Z trade places: the quit prompt
# answers to the key labelled Y, not to the one in the place of the US Y;
# Space (by place) still starts the game.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/options.sh"

start_x 640x480x24
setxkbmap -layout de || fail "setxkbmap could not load the German layout"
make_game_dir
start_game
wait_window

start_play
press_until Escape 10 "the quit prompt after Escape" prompt_shown
key z # the key in the place of the US Y
sleep 1
prompt_shown || fail "the key labelled Z (in the place of the US Y) answered the prompt"
key y # labelled Y, in the place of the US Z
poll 10 "the table after the key labelled Y ended the game" scores_shown
key Escape
wait_exit 10
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
