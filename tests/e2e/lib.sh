# Shared by the end-to-end tests: a private X server, the real game started
# from a scratch game folder, input through xdotool (XTEST, like a keyboard),
# and checks on screenshots and files. Sourced by each test script.
#
# Environment (set by tests.cmake): SB_BIN (the game), SB_GAME_DIR (the
# build's images/ and sounds/), SB_E2E_OUT (where a failing test leaves its
# screenshots and logs), SB_XHELPER (close requests and a tiny window
# manager), optionally SB_SIM (the headless simulator) and SB_E2E_LIMIT
# (seconds before the watchdog stops the test).
set -euo pipefail

: "${SB_BIN:?}" "${SB_GAME_DIR:?}" "${SB_E2E_OUT:?}" "${SB_XHELPER:?}"
export LC_ALL=C

E2E_NAME=${E2E_NAME:-$(basename "$0" .sh)}
WORK=$SB_E2E_OUT/$E2E_NAME
rm -rf -- "$WORK"
mkdir -p -- "$WORK"

X_PID="" WM_PID="" GAME_PID="" WATCHDOG_PID="" WID="" SHOT_N=0 LAST_SHOT=""
T0=$(date +%s%N)

log() { printf '[%6.2fs] %s\n' "$(($(date +%s%N) - T0))e-9" "$*"; }

# Ends the test: says why, keeps a screenshot of the moment and everything
# the run produced under $WORK.
fail() {
  trap - TERM
  log "FAIL: $*"
  if [ -n "$X_PID" ] && kill -0 "$X_PID" 2>/dev/null; then
    "$SB_XHELPER" shot root "$WORK/failure.ppm" 2>/dev/null &&
      convert "$WORK/failure.ppm" "$WORK/failure.png" 2>/dev/null && rm -f "$WORK/failure.ppm"
    log "screen now: $WORK/failure.png"
  fi
  if [ -n "$LAST_SHOT" ] && [ -f "$LAST_SHOT" ]; then
    convert "$LAST_SHOT" "${LAST_SHOT%.ppm}.png" 2>/dev/null && rm -f "$LAST_SHOT"
    log "last checked screenshot: ${LAST_SHOT%.ppm}.png"
  fi
  [ -s "$WORK/game.log" ] && { log "game output:"; sed 's/^/    /' "$WORK/game.log" | tail -n 30; }
  exit 1
}

stop_pid() { # pid: TERM, then KILL after 2 s; only our own children
  local pid=$1
  [ -n "$pid" ] || return 0
  kill -TERM "$pid" 2>/dev/null || return 0
  for _ in $(seq 20); do
    alive "$pid" || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

cleanup() {
  local rc=$?
  set +e
  stop_pid "$GAME_PID"
  stop_pid "$WM_PID"
  stop_pid "$X_PID"
  [ -n "$WATCHDOG_PID" ] && kill "$WATCHDOG_PID" 2>/dev/null && wait "$WATCHDOG_PID" 2>/dev/null
  if [ "$rc" = 0 ]; then
    rm -rf -- "$WORK" # only failures leave their evidence behind
    log "passed"
  else
    log "evidence kept in $WORK"
  fi
  exit "$rc"
}
trap cleanup EXIT
trap 'fail "watchdog: the test ran longer than ${SB_E2E_LIMIT:-120} s"' TERM
(
  trap 'kill "$sleeper" 2>/dev/null; exit 0' TERM
  sleep "${SB_E2E_LIMIT:-120}" &
  sleeper=$!
  wait "$sleeper" && kill -TERM $$
) >/dev/null 2>&1 &
WATCHDOG_PID=$!

# True while the process runs (a zombie that has exited does not count).
alive() {
  local st
  st=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 1
  [ -n "$st" ] && [ "$st" != Z ]
}

# poll SECONDS DESCRIPTION COMMAND...: runs the command every 0.1 s until it
# succeeds; fails the test with the description after the deadline.
poll() {
  local secs=$1 what=$2
  shift 2
  local start end
  start=$(date +%s%N)
  end=$((start + secs * 1000000000))
  while :; do
    if "$@"; then
      log "$what ($((($(date +%s%N) - start) / 1000000)) ms)"
      return 0
    fi
    [ "$(date +%s%N)" -lt "$end" ] || fail "after ${secs}s still not: $what"
    sleep 0.1
  done
}

# --- the X server -------------------------------------------------------------

# start_x WxHxD [wm]: a private Xvfb on the first free display from :90 (the
# server's own lock file settles races with other tests), with a fresh
# authority file and no TCP; with "wm", a minimal window manager that can
# switch windows to full screen.
start_x() {
  local geometry=${1:-640x480x24} want_wm=${2:-} n cookie
  export XAUTHORITY=$WORK/Xauthority
  : >"$XAUTHORITY"
  cookie=$(od -An -tx1 -N16 /dev/urandom | tr -d ' \n')
  for n in $(seq 90 139); do
    [ -e "/tmp/.X$n-lock" ] && continue
    xauth -q -f "$XAUTHORITY" add ":$n" . "$cookie"
    Xvfb ":$n" -screen 0 "$geometry" -nolisten tcp -auth "$XAUTHORITY" -br -noreset \
      >"$WORK/xvfb.log" 2>&1 &
    X_PID=$!
    for _ in $(seq 100); do
      if ! alive "$X_PID"; then break; fi
      if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
        export DISPLAY=":$n"
        log "Xvfb $geometry on $DISPLAY (pid $X_PID)"
        if [ "$want_wm" = wm ]; then
          "$SB_XHELPER" wm >"$WORK/wm.log" 2>&1 &
          WM_PID=$!
          poll 10 "window manager running" eval "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'"
        fi
        return 0
      fi
      sleep 0.1
    done
    wait "$X_PID" 2>/dev/null || true
    X_PID=""
  done
  fail "no free X display in :90..:139"
}

# --- the game -------------------------------------------------------------------

# make_game_dir [IMAGE...]: $WORK/game with the build's sounds and images
# (minus the named image files) and an empty scores/ folder.
make_game_dir() {
  GAME=$WORK/game
  mkdir -p "$GAME/scores"
  ln -s "$SB_GAME_DIR/sounds" "$GAME/sounds"
  if [ $# = 0 ]; then
    ln -s "$SB_GAME_DIR/images" "$GAME/images"
  else
    mkdir "$GAME/images"
    local f skip
    for f in "$SB_GAME_DIR"/images/*; do
      for skip in "$@"; do [ "$(basename "$f")" = "$skip" ] && continue 2; done
      ln -s "$f" "$GAME/images/"
    done
  fi
}

# start_game: runs the game in $GAME with the X11 video driver and the disk
# audio driver (the mixed sound lands in $AUDIO).
start_game() {
  AUDIO=$WORK/audio.raw
  (cd "$GAME" && SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$AUDIO" \
    exec "${SB_RUN:-$SB_BIN}") >"$WORK/game.log" 2>&1 &
  GAME_PID=$!
  GAME_T0=$(date +%s%N)
  log "game started (pid $GAME_PID)"
}

find_window() {
  local id
  alive "$GAME_PID" || fail "the game ended before showing its window"
  id=$(xdotool search --name '^Vornic Application$' 2>/dev/null | tail -n 1) || return 1
  [ -n "$id" ] || return 1
  xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' || return 1
  WID=$id
}

# wait_window: waits for the game's window and gives it the keyboard.
wait_window() {
  poll "${1:-20}" 'a window titled "Vornic Application" is shown' find_window
  xdotool windowfocus --sync "$WID" 2>/dev/null || true
  log "window $WID"
}

# window_geometry: prints "X Y W H" of the game's window.
window_geometry() {
  xwininfo -id "$WID" 2>/dev/null | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
    /^ *Width:/{w=$NF} /^ *Height:/{h=$NF} END{print x, y, w, h}'
}

# wait_exit SECONDS: waits for the game to end; sets EXIT_CODE and EXIT_MS
# (time since the call).
wait_exit() {
  local t
  t=$(date +%s%N)
  poll "$1" "the game has ended" eval '! alive "$GAME_PID"'
  EXIT_MS=$((($(date +%s%N) - t) / 1000000))
  EXIT_CODE=0
  wait "$GAME_PID" || EXIT_CODE=$?
  GAME_PID=""
  log "game ended with code $EXIT_CODE after ${EXIT_MS} ms"
}

# --- input --------------------------------------------------------------------------

key() { xdotool key --clearmodifiers "$@"; }
keydown() { xdotool keydown "$@"; }
keyup() { xdotool keyup "$@"; }
close_request() { "$SB_XHELPER" close "$WID"; }

# --- screenshots ----------------------------------------------------------------------

# shot [window|root]: a screenshot of the game's window (default) or of the
# whole screen, as $LAST_SHOT (binary PPM; the two latest are kept).
shot() {
  SHOT_N=$((SHOT_N + 1))
  [ -n "${SB_KEEP_SHOTS:-}" ] || rm -f "$WORK/shot-$(printf %04d $((SHOT_N - 2))).ppm"
  LAST_SHOT=$WORK/shot-$(printf %04d $SHOT_N).ppm
  local which=$WID
  [ "${1:-window}" = root ] && which=root
  "$SB_XHELPER" shot "$which" "$LAST_SHOT" 2>/dev/null || return 1
}

# probe QUESTION...: pixel counts about $LAST_SHOT (or $IMG, if set), one per
# question, into the array P; questions are KIND:X,Y,W,H[,ARG...] with KIND
# nonblack, colour (ARG RRGGBB[,TOLERANCE]), tint (ARG RRGGBB: art drawn in
# that colour) or diff (ARG another image). One process for many questions.
probe() {
  P=()
  mapfile -t P < <("$SB_XHELPER" count "${IMG:-$LAST_SHOT}" "$@")
  [ "${#P[@]}" = $# ]
}
count_nonblack() { "$SB_XHELPER" count "${IMG:-$LAST_SHOT}" "nonblack:$1,$2,$3,$4"; }
count_colour() { "$SB_XHELPER" count "${IMG:-$LAST_SHOT}" "colour:$1,$2,$3,$4,$5,${6:-0}"; }
count_tint() { "$SB_XHELPER" count "${IMG:-$LAST_SHOT}" "tint:$1,$2,$3,$4,$5"; }
# at_least COUNT PERCENT W H: COUNT is at least PERCENT % of a WxH area.
at_least() { [ $(($1 * 100)) -ge $(($3 * $4 * $2)) ]; }
area_black() { [ "$(count_nonblack "$@")" = 0 ]; }
# area_filled X Y W H PERCENT: at least PERCENT % of the pixels are not black.
area_filled() { at_least "$(count_nonblack "$1" "$2" "$3" "$4")" "$5" "$3" "$4"; }

# --- the title screen -------------------------------------------------------------------

# sim_title_frame: the headless renderer's frame 300 of the title (letters and
# logo settled) into $SIM_FRAME when the simulator is built, else SIM_FRAME="".
sim_title_frame() {
  SIM_FRAME=""
  [ -n "${SB_SIM:-}" ] || return 0
  mkdir -p "$WORK/sim/scores"
  ln -s "$SB_GAME_DIR/images" "$SB_GAME_DIR/sounds" "$WORK/sim/"
  SIM_FRAME=$WORK/sim-300.bmp
  "$SB_SIM" --mode flow --seed 1 --frames 320 --shot "300:$SIM_FRAME" \
    --assets "$WORK/sim" >"$WORK/sim.log" 2>&1 || fail "simulator failed: $(cat "$WORK/sim.log")"
}

# title_settled: the frame all round, the ten letters (x 80+48j, 44 px wide,
# y 92..119) with nothing above them nor between them and the logo, and
# letters and logo pixel for pixel as in $SIM_FRAME when there is one.
title_settled() {
  shot || return 1
  local j q=(nonblack:0,0,640,2 nonblack:0,478,640,2 nonblack:0,0,2,480 nonblack:638,0,2,480
    nonblack:2,2,636,87 nonblack:2,123,636,34)
  for j in $(seq 0 9); do q+=("nonblack:$((80 + 48 * j)),92,44,28"); done
  [ -z "$SIM_FRAME" ] || q+=("diff:2,88,636,172,$SIM_FRAME")
  probe "${q[@]}" || return 1
  [ "${P[*]:0:6}" = "1280 1280 960 960 0 0" ] || return 1
  for j in $(seq 0 9); do [ "${P[$((6 + j))]}" -ge 20 ] || return 1; done
  [ -z "$SIM_FRAME" ] || [ "${P[16]}" = 0 ]
}

# --- a game controller -------------------------------------------------------------------

# use_pad: the game started next reads controller commands from $PAD and
# works SDL's virtual joystick with them (the test switch of the SDL back
# end): pad attach|detach, pad press|release BUTTON, pad axis AXIS VALUE,
# with SDL's names (a b x y back start dpup dpdown dpleft dpright, leftx ...).
use_pad() {
  PAD=$WORK/pad.cmds
  : >"$PAD"
  export SWARMBREAK_TEST_PAD=$PAD
}
pad() { printf '%s\n' "$*" >>"$PAD"; }
# pad_tap BUTTON: a press long enough for any screen to see it.
pad_tap() {
  pad press "$1"
  sleep 0.15
  pad release "$1"
}
# pad_until BUTTON SECONDS DESCRIPTION CHECK...: holds the button until the
# check succeeds, then lets go (screens that read a held direction every ten
# frames see one step).
pad_until() {
  local b=$1 secs=$2 what=$3 start
  shift 3
  start=$(date +%s%N)
  pad press "$b"
  until "$@"; do
    [ $(($(date +%s%N) - start)) -lt $((secs * 1000000000)) ] || {
      pad release "$b"
      fail "after ${secs}s of $b still not: $what"
    }
    sleep 0.02
  done
  pad release "$b"
  sleep 0.1 # seen up before a next press of the same button
  log "$what"
}
