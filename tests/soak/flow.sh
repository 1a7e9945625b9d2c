#!/usr/bin/env bash
# A whole session in the real program flow: title, a game, name entry, the
# table, quit. Run by the sanitizer build it is the leak check (LeakSanitizer
# reports at exit and fails the run); in any build it checks that the session
# ends normally and saves the new entry.
#   flow.sh SB_SOAK SIM INPUT [wrapper...]   (e.g. valgrind as the wrapper)
set -euo pipefail
soak=$1 sim=$2 input=$3
shift 3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$soak" --write-assets "$dir"
cd "$dir"
export SDL_AUDIODRIVER=dummy
status=0
"$@" "$sim" --mode flow --seed 11 --lives 0 --input "$input" --frames 5000 --digest >out.txt 2>err.txt \
  || status=$?
cat out.txt
if [ "$status" != 0 ]; then
  cat err.txt >&2
  echo "flow: the session ended with status $status" >&2
  exit 1
fi
# The game's score beat the prepared table: its entry is row 0, named "A  ".
if [ "$(sed -n 3p scores/hiscores.dat)" != $'A  \r' ]; then
  echo "flow: the new entry was not saved" >&2
  head -6 scores/hiscores.dat | od -c >&2
  exit 1
fi
echo "flow: session complete, entry saved"
