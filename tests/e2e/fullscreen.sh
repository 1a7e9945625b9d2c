#!/usr/bin/env bash
# Usage: fullscreen.sh WIDTHxHEIGHT
# Given a screen larger than the game (and a window manager, which full
# screen needs), when "Fullscreen" is switched on in the options, then the
# game covers the whole screen and keeps drawing its 640x480 picture scaled
# to the largest 4:3 rectangle, centred between black bars; switched off, it
# is a 640x480 window again. Alt+Enter switches both ways as well.
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
press_until Up 10 "the arrow at line 6 (full screen)" arrow_at 6

# The picture: 640x480 scaled by s = min(sw/640, sh/480), centred.
if [ $((sw * 480)) -le $((sh * 640)) ]; then
  pw=$sw ph=$((sw * 480 / 640))
else
  pw=$((sh * 640 / 480)) ph=$sh
fi
ox=$(((sw - pw) / 2)) oy=$(((sh - ph) / 2))
log "expecting the picture at ${pw}x${ph}+${ox}+${oy}"
sx() { echo $((ox + $1 * pw / 640)); } # picture x to screen x
sy() { echo $((oy + $1 * ph / 480)); } # picture y to screen y

full_screen_picture() {
  find_window || return 1
  read -r x y w h < <(window_geometry)
  [ "$x $y $w $h" = "0 0 $sw $sh" ] || return 1
  shot root || return 1
  # Black bars round the picture (empty rectangles where there is no bar),
  # the screen frame along the picture's edges, and the options panel's top
  # edge (y 60..61, x 60..580), scaled: nearly pure red.
  local x0 y0 pw2=$((pw * 500 / 640)) ph2=$((ph * 2 / 480))
  x0=$(sx 70) y0=$(sy 60)
  probe "nonblack:0,0,$sw,$oy" "nonblack:0,$((oy + ph)),$sw,$((sh - oy - ph))" \
    "nonblack:0,0,$ox,$sh" "nonblack:$((ox + pw)),0,$((sw - ox - pw)),$sh" \
    "nonblack:$ox,$oy,$pw,2" "nonblack:$ox,$((oy + ph - 2)),$pw,2" \
    "nonblack:$ox,$oy,2,$ph" "nonblack:$((ox + pw - 2)),$oy,2,$ph" \
    "colour:$x0,$y0,$pw2,$ph2,ff0000,64" || return 1
  [ "${P[*]:0:4}" = "0 0 0 0" ] &&
    at_least "${P[4]}" 95 "$pw" 2 && at_least "${P[5]}" 95 "$pw" 2 &&
    at_least "${P[6]}" 95 2 "$ph" && at_least "${P[7]}" 95 2 "$ph" &&
    at_least "${P[8]}" 80 "$pw2" "$ph2"
}
press_until Right 10 "full screen with the picture letterboxed" full_screen_picture
log "full screen after $((($(date +%s%N) - GAME_T0) / 1000000)) ms"

# Still drawing: the cycling frame colour changes from one shot to the next.
first=$LAST_SHOT
sleep 0.3
shot root
probe "diff:0,0,$sw,$sh,$first" && [ "${P[0]}" != 0 ] || fail "the full-screen picture stands still"

back_in_window() {
  find_window || return 1
  read -r x y w h < <(window_geometry)
  [ "$w $h" = "640 480" ] && options_shown
}
press_until Left 10 "a 640x480 window showing the options again" back_in_window

# Alt+Enter switches too, on any screen.
press_until alt+Return 10 "full screen after Alt+Enter" full_screen_picture
press_until alt+Return 10 "a window again after Alt+Enter" back_in_window

key Escape
wait_exit 10
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
