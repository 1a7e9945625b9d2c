#!/usr/bin/env bash
# Usage: fullscreen.sh WIDTHxHEIGHT
# Given a screen larger than the game (and a window manager, which full
# screen needs), when "Fullscreen" is switched on in the options, then the
# game covers the whole screen and keeps drawing its 640x480 picture scaled
# to the largest 4:3 rectangle, centred between black bars; switched off, it
# is a 640x480 window again.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/options.sh"

size=${1:?usage: fullscreen.sh WIDTHxHEIGHT}
sw=${size%x*} sh=${size#*x}
start_x "${size}x24" wm
make_game_dir
start_game
wait_window

read -r x y w h < <(window_geometry)
[ "$w $h" = "640 480" ] || fail "window is ${w}x${h}, not 640x480"

press_until o 10 "the options screen" options_shown
press_until Up 5 "the arrow at line 6 (full screen)" arrow_at 6

# The picture: 640x480 scaled by s = min(sw/640, sh/480), centred.
if [ $((sw * 480)) -le $((sh * 640)) ]; then
  pw=$sw ph=$((sw * 480 / 640))
else
  pw=$((sh * 640 / 480)) ph=$sh
fi
ox=$(((sw - pw) / 2)) oy=$(((sh - ph) / 2))
log "expecting the picture at ${pw}x${ph}+${ox}+${oy}"
sx() { echo $((ox + $1 * pw / 640)); } # picture x to screen x
sy() { echo $((oy + $1 * ph / 480)); }

reddish() { # X Y W H: pixels close to pure red (scaling may blend edges)
  count_colour "$@" ff0000 64
}

full_screen_picture() {
  find_window || return 1
  read -r x y w h < <(window_geometry)
  [ "$x $y $w $h" = "0 0 $sw $sh" ] || return 1
  shot root
  # Black bars around the picture.
  if [ "$oy" -gt 0 ]; then
    area_black 0 0 "$sw" "$oy" && area_black 0 $((oy + ph)) "$sw" $((sh - oy - ph)) || return 1
  fi
  if [ "$ox" -gt 0 ]; then
    area_black 0 0 "$ox" "$sh" && area_black $((ox + pw)) 0 $((sw - ox - pw)) "$sh" || return 1
  fi
  # The screen frame along the picture's edges.
  area_filled "$ox" "$oy" "$pw" 2 95 && area_filled "$ox" $((oy + ph - 2)) "$pw" 2 95 &&
    area_filled "$ox" "$oy" 2 "$ph" 95 && area_filled $((ox + pw - 2)) "$oy" 2 "$ph" 95 || return 1
  # The options panel's top edge (y 60..61), scaled.
  local y0 y1 x0 x1
  y0=$(sy 60) y1=$(sy 62) x0=$(sx 70) x1=$(sx 570)
  [ $(($(reddish "$x0" "$y0" $((x1 - x0)) $((y1 - y0))) * 100)) -ge $(((x1 - x0) * (y1 - y0) * 80)) ]
}
press_until Right 10 "full screen with the picture letterboxed" full_screen_picture
log "full screen after $((($(date +%s%N) - GAME_T0) / 1000000)) ms"

# Still drawing: the cycling frame colour changes from one shot to the next.
first=$LAST_SHOT
sleep 0.3
shot root
[ "$("$SB_XHELPER" diff "$first" "$LAST_SHOT" 0 0 "$sw" "$sh")" != 0 ] ||
  fail "the full-screen picture stands still"

back_in_window() {
  find_window || return 1
  read -r x y w h < <(window_geometry)
  [ "$w $h" = "640 480" ] && options_shown
}
press_until Left 10 "a 640x480 window showing the options again" back_in_window

key Escape
wait_exit 5
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
