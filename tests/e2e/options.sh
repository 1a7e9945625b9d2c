# Reading the options screen and the play screen from screenshots; sourced
# after lib.sh by the tests that go through them.

# The red options panel (outline from 60,60 to 580,350).
options_shown() {
  shot
  area_colour 62 60 516 2 ff0000 95 && area_colour 60 62 2 286 ff0000 95
}

# The arrow stands at x 80, 2 px above option line LINE (y 80 + 40 * LINE),
# and at no other line.
arrow_at() {
  shot
  local k
  for k in $(seq 0 6); do
    if [ "$k" = "$1" ]; then
      area_black 80 $((78 + 40 * k)) 38 16 && return 1
    else
      area_black 80 $((78 + 40 * k)) 38 16 || return 1
    fi
  done
  return 0
}

# An option value shown as "On" or "Off" at x VX on line LINE: "Off" has a
# third letter, "On" has not.
value_is() { # LINE VX On|Off
  shot
  local y=$((80 + 40 * $1)) third=$(($2 + 28))
  area_filled "$2" "$y" 26 14 5 || return 1
  if [ "$3" = Off ]; then area_filled "$third" "$y" 12 14 5; else area_black "$third" "$y" 12 14; fi
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
  shot
  area_filled 19 24 2 432 95 && area_filled 621 24 2 432 95 &&
    area_black 0 24 2 432 && area_black 638 24 2 432
}

# The red bar of the quit prompt over 90..569 x 190..221, and not beyond.
prompt_shown() {
  shot
  area_colour 90 190 480 32 ff0000 60 && ! area_colour 90 222 480 1 ff0000 50 &&
    ! area_colour 90 189 480 1 ff0000 50
}
prompt_gone() {
  shot
  ! area_colour 90 190 480 32 ff0000 10
}

# The player (14x24 px) has come to rest at X Y: where nothing was when play began.
player_at() { # X Y
  shot
  [ "$(count_nonblack "$1" "$2" 14 24)" -ge 20 ]
}
