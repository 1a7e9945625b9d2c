#!/usr/bin/env bash
# A game recorded through the real window, then proven and watched.
#   A table of tiny scores, so any points enter it. O, Down, Down, Right:
#   invincible; Space plays. Walking with Space held fires that way (mode 0);
#   Escape and N go on, Escape and Y end the game; Y takes the name. On the
#   table, 1 watches the new entry's replay and Escape comes back to the
#   table; Escape quits.
# Then: replays/last.replay and the entry's replay verify headless, the entry
# replay's end line states the table's score and wave, and
# `swarmbreak --replay` plays it in the window, four times as fast after F,
# and keeps the last frame until a key is pressed.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/options.sh"
: "${SB_SIM:?the simulator verifies the replays}"

start_x 640x480x24
make_game_dir
for i in $(seq 10); do printf '%d\r\n1\r\nLOW\r\n' $((11 - i)); done >"$GAME/scores/hiscores.dat"
start_game
wait_window

press_until o 10 "the options screen" options_shown
press_until Down 10 "the arrow at line 1" arrow_at 1
press_until Down 10 "the arrow at line 2 (invincibility)" arrow_at 2
key Right # invincibility on: the replay's settings show it (below)
sleep 0.5
start_play
sleep 2
fire() { for d in "$@"; do keydown "$d" space; sleep 1.2; keyup "$d" space; done; }
fire Left Up Right
key Escape
poll 10 "the quit prompt" prompt_shown
key n
poll 10 "the prompt gone" prompt_gone
fire Down Left Up Right Down
key Escape
poll 10 "the quit prompt again" prompt_shown
key y
poll 20 "the name entry (the score beats the table)" entry_shown
key y
poll 20 "the table" scores_shown

shopt -s nullglob
entries=("$GAME"/scores/replays/*.replay)
[ "${#entries[@]}" = 1 ] || fail "expected one top-ten replay, found: ${entries[*]:-none}"
entry=${entries[0]}
key 1
poll 20 "the entry's replay playing" in_play
key Escape
poll 20 "back to the table" scores_shown
key Escape
wait_exit 10
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"

# Proof: the table's first entry, its replay's end line, and both verdicts.
mapfile -t table < <(tr -d '\r' <"$GAME/scores/hiscores.dat")
end=$(grep '^end ' "$entry" | tr -d '\r')
log "entry ${table[0]} wave ${table[1]} ${table[2]}; $end"
[[ "$end" == *" score ${table[0]} wave ${table[1]} "* ]] || fail "end line '$end' is not the entry's"
name=${table[2]//[^A-Za-z0-9]/_} # as in the file name
[ "$(basename "$entry")" = "${table[0]}-${table[1]}-$name.replay" ] || fail "file name $entry"
tr -d '\r' <"$entry" >"$WORK/entry.txt"
grep -qx "name $name" "$WORK/entry.txt" || fail "no name line in $entry"
grep -qx 'set invincible 1' "$WORK/entry.txt" || fail "the replay does not start invincible"
out=$("$SB_SIM" --assets "$GAME" --verify "$GAME/replays/last.replay") || fail "last.replay: $out"
[ "$out" = "verified: score ${table[0]} wave ${table[1]} frames $(sed 's/.*frames \([0-9]*\).*/\1/' <<<"$end")" ] ||
  fail "verdict '$out'"
"$SB_SIM" --verify-table "$GAME" >"$WORK/table.txt" || fail "verify-table: $(cat "$WORK/table.txt")"
grep -q "^ 1\. ${table[0]} wave ${table[1]} ${table[2]}: verified" "$WORK/table.txt" ||
  fail "verify-table: $(cat "$WORK/table.txt")"
[ "$(grep -c 'without replay' "$WORK/table.txt")" = 9 ] || fail "verify-table: $(cat "$WORK/table.txt")"

# Watching from the command line: F for speed, the last frame kept.
(cd "$GAME" && SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy exec "$SB_BIN" --replay "$entry") \
  >"$WORK/game.log" 2>&1 &
GAME_PID=$!
wait_window
poll 20 "the replay playing" in_play
key f
frames=$(sed 's/.*frames \([0-9]*\).*/\1/' <<<"$end")
# At four times the pace (about 28 frames a second), and a little more.
sleep $((frames / 100 + 3))
alive "$GAME_PID" || fail "the window closed at the end of the replay"
shot
key space
wait_exit 10
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after watching"
