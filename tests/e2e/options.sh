# Reading the options screen and the play screen from screenshots; sourced
# after lib.sh by the tests that go through them.

# The red options panel (outline from 60,60 to 580,350).
options_shown() {
  shot && probe colour:62,60,516,2,ff0000 colour:60,62,2,286,ff0000 &&
    at_least "${P[0]}" 95 516 2 && at_least "${P[1]}" 95 2 286
}

# The arrow stands at x 80, 2 px above option line LINE (y 80 + 40 * LINE),
# and at no other line.
arrow_at() {
  shot || return 1
  local k q=()
  for k in $(seq 0 6); do q+=("nonblack:80,$((78 + 40 * k)),38,16"); done
  probe "${q[@]}" || return 1
  for k in $(seq 0 6); do
    if [ "$k" = "$1" ]; then
      [ "${P[$k]}" -gt 0 ] || return 1
    else
      [ "${P[$k]}" = 0 ] || return 1
    fi
  done
}

# An option value shown as "On" or "Off" at x VX on line LINE: "Off" has a
# third letter, "On" has not.
value_is() { # LINE VX On|Off
  local y=$((80 + 40 * $1))
  shot && probe "nonblack:$2,$y,26,14" "nonblack:$(($2 + 28)),$y,12,14" || return 1
  at_least "${P[0]}" 5 26 14 || return 1
  if [ "$3" = Off ]; then at_least "${P[1]}" 5 12 14; else [ "${P[1]}" = 0 ]; fi
}

# press_until KEY SECONDS DESCRIPTION CHECK...: one key press, then wait for
# its effect. The options read their keys every 10 frames and count any
# number of presses in between as one, so the next press only follows once
# this one has shown.
press_until() {
  local k=$1 secs=$2 what=$3
  shift 3
  key "$k"
  poll "$secs" "$what" "$@"
}

# Play: the playfield border (outline 19..622 x 19..462) in the cycling
# colour, and none of the menu screens' frame at the window's edge.
in_play() {
  shot && probe nonblack:19,24,2,432 nonblack:621,24,2,432 nonblack:0,24,2,432 nonblack:638,24,2,432 &&
    at_least "${P[0]}" 95 2 432 && at_least "${P[1]}" 95 2 432 && [ "${P[2]}" = 0 ] && [ "${P[3]}" = 0 ]
}

# start_play: holding Space on the title starts a game.
start_play() {
  keydown space
  poll 20 "the game has started (playfield border)" in_play
  keyup space
}

# The red bar of the quit prompt over 90..569 x 190..221, and not beyond.
prompt_shown() {
  shot && probe colour:90,190,480,32,ff0000 colour:90,222,480,1,ff0000 colour:90,189,480,1,ff0000 &&
    at_least "${P[0]}" 60 480 32 && ! at_least "${P[1]}" 50 480 1 && ! at_least "${P[2]}" 50 480 1
}
prompt_gone() {
  shot && probe colour:90,190,480,32,ff0000 && ! at_least "${P[0]}" 10 480 32
}

# The player (14x24 px) stands at X Y. Its helmet (fafaec) is the same in
# every colour set and is the player's own colour (only its shots share it),
# and the filtered scaling leaves at least 6 pixels of it exactly that
# colour, so the colour must match exactly.
player_at() { # X Y
  shot && probe "colour:$1,$2,14,24,fafaec" && [ "${P[0]}" -ge 6 ]
}

# The high-score table: "Top Scores" in red over the column titles in green.
scores_shown() {
  shot && probe tint:240,40,140,14,ff0000 tint:140,80,308,14,00ff00 &&
    [ "${P[0]}" -ge 100 ] && [ "${P[1]}" -ge 100 ]
}
# The name entry: "Congratulations" and "You are in the top 10" in white.
entry_shown() {
  shot && probe tint:100,40,210,14,ffffff tint:100,80,294,14,ffffff &&
    at_least "${P[0]}" 10 210 14 && at_least "${P[1]}" 10 294 14
}
# After a game: the table, or the name entry first (then Y takes the name).
scores_after_game() {
  scores_shown && return 0
  entry_shown && key y
  return 1
}
