#!/usr/bin/env bash
# Valgrind memcheck on the game, in two runs on a small virtual screen of
# their own:
#   1. the real program: start-up with its logo, the main menu, then quit by
#      SIGTERM (the window system's request to close) once it is up;
#   2. one whole trick of the game object with the real pack (the soak test
#      with one trick: start, every box, both languages and qualities, a trick
#      from the first click to the reveal and back, close).
# Errors inside the GL driver, X and SDL are suppressed by valgrind.supp
# beside this script (each entry says why); anything else is reported.
#
# usage: tests/hostile/valgrind.sh [BIN_DIR]   (default build/bin; a normal,
#        not a sanitizer, build)
# Prints each run's error and leak summary; exit status 0 when neither run
# has an error or a definite leak.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/../support/harness.sh"
harness_begin valgrind 240 320x180x24 "$@"
BIN_DIR=$(cd "${1:-$HERE/../../build/bin}" && pwd)
export SDL_AUDIODRIVER=dummy
VALGRIND=(valgrind --tool=memcheck --error-exitcode=99 --leak-check=full
  --errors-for-leak-kinds=definite --show-leak-kinds=definite --num-callers=30
  --suppressions="$HERE/valgrind.supp" --gen-suppressions=all)

status=0
summarise() {  # LOG NAME
  echo "== $2"
  grep -E "ERROR SUMMARY|definitely lost|indirectly lost|possibly lost|still reachable|suppressed:" "$1" |
    sed 's/^==[0-9]*== //'
  if ! grep -q "ERROR SUMMARY: 0 errors" "$1"; then
    echo "valgrind: $2 has errors; the first ones:"
    grep -A 25 -m 3 -E "^==[0-9]+== (Invalid|Conditional|Use of|Syscall|Mismatched|Source and|[0-9,]+ bytes in [0-9,]+ blocks are definitely)" "$1" | head -n 90
    status=1
  fi
}

# --- 1: the real program -------------------------------------------------------
mkdir -p "$WORK/run"
cp "$BIN_DIR/vimradata.bin" "$WORK/run/"
(cd "$WORK/run" && exec "${VALGRIND[@]}" --log-file="$WORK/program.log" "$BIN_DIR/vimra") &
PID=$!
# The logo and the loading take minutes under valgrind; the menu is up once
# the settings-free start has drawn for a while. SIGTERM until it ends.
sleep "${VIMRA_VALGRIND_SETTLE:-240}"
for _ in $(seq 1 120); do
  kill -0 "$PID" 2>/dev/null || break
  kill -TERM "$PID" 2>/dev/null || true
  sleep 5
done
program=0
wait "$PID" || program=$?
PID=""
echo "vimra ended with status $program"
[ "$program" = 0 ] || [ "$program" = 99 ] || status=1
[ -s "$WORK/run/vimraconfig.bin" ] || { echo "valgrind: the program wrote no settings"; status=1; }
summarise "$WORK/program.log" "the program: start, menu, quit"

# --- 2: one whole trick -----------------------------------------------------------
(cd "$BIN_DIR" && KX_BIN_DIR=. KX_SOAK_TRICKS=1 "${VALGRIND[@]}" --log-file="$WORK/trick.log" \
  ./hostileSoakTests >"$WORK/trick.out" 2>&1) || status=1
grep -E "soak:|PASSED|FAILED" "$WORK/trick.out" || true
summarise "$WORK/trick.log" "one whole trick of the game object"

if [ -n "${VIMRA_VALGRIND_KEEP:-}" ]; then cp "$WORK"/*.log "$VIMRA_VALGRIND_KEEP"/; fi
exit $status
