#!/usr/bin/env bash
# Plays vimra from the outside: runs the real program from a temporary copy of
# its bin folder under a virtual 1280x720 display with disk audio, clicks
# through the menus and one whole trick with xdotool, takes a screenshot of
# every stage, presses Escape until the program ends, and checks what it left
# behind. Then starts it without a pack and with a damaged pack and checks
# that both starts fail with their one-line message and write no settings.
#
# usage: e2e.sh BIN_DIR [SHOT_DIR]
#   BIN_DIR   folder holding vimra and vimradata.bin (its ../lib holds the engine)
#   SHOT_DIR  where the screenshots go (default: inside the temporary folder)
# VIMRA_ARGS (environment) adds options to the played run, like
# "--renderer es2" to play it on the other drawing path.
# Exit status 0 when every check passed.
set -euo pipefail
. "$(dirname "$0")/../../support/harness.sh"
harness_begin e2e 140 1280x720x24 "$@"

BIN_DIR=$(cd "$1" && pwd)
SHOTS=${2:-$WORK/shots}
mkdir -p "$SHOTS"
SHOTS=$(cd "$SHOTS" && pwd)

# A copy of the bin folder; the program finds the engine through ../lib.
mkdir -p "$WORK/bin"
cp "$BIN_DIR/vimra" "$BIN_DIR/vimradata.bin" "$WORK/bin/"
ln -s "$(cd "$BIN_DIR/../lib" && pwd)" "$WORK/lib"
export SDL_AUDIODRIVER=disk
# In a sanitizer build the program's exit would report what the system's GL
# and D-Bus libraries keep until exit (their modules are unloaded by then, so
# no suppression can name them); the in-process game tests check leaks.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
export SDL_DISKAUDIOFILE="$WORK/audio.raw"

# --- screen helpers -------------------------------------------------------
# wait_for SECONDS COMMAND...: polls COMMAND every half second.
wait_for() {
  local limit=$1
  shift
  local end=$((SECONDS + limit))
  while [ $SECONDS -lt $end ]; do
    if "$@"; then return 0; fi
    if ! kill -0 "$PID" 2>/dev/null; then return 1; fi
    sleep 0.5
  done
  return 1
}
is_light() { local r g b; read -r r g b <<<"$(pixel "$1" "$2")"; [ -n "$b" ] && [ "$r" -gt 190 ] && [ "$g" -gt 190 ] && [ "$b" -gt 190 ]; }
shot() { import -window root "$SHOTS/$1.png"; note "screenshot $SHOTS/$1.png"; }
click() { xdotool mousemove "$1" "$2"; sleep 0.3; xdotool click 1; sleep 1; }
crop() {  # crop X Y SIZE FILE: a square around (X, Y)
  import -window root -crop "$3x$3+$(($1 - $3 / 2))+$(($2 - $3 / 2))" png:- | convert - +repage "$4"
}
difference() {  # normalised RMSE of two images, 0..1 (scaled by 10000)
  local m
  m=$(compare -metric RMSE "$1" "$2" null: 2>&1 || true)
  m=${m#*(}
  m=${m%)*}
  awk -v v="$m" 'BEGIN { printf "%d", v * 10000 }'
}

# The table seen from the front: card centres in pixels (1280x720, camera at
# 20 / aspect = 11.25, 60-degree field of view: 55.43 pixels per unit).
card_x() { awk -v k="$1" 'BEGIN { printf "%d", 640 + (-7.5 + 2.5 * k) * 55.43 }'; }
card_y() { awk -v r="$1" 'BEGIN { printf "%d", 360 - (2.5 * r - 2.5) * 55.43 }'; }

# The table is laid out when the cream frames of the middle column's three
# cards stand where they belong. That column does not move sideways while the
# table breathes, and its frames do not depend on the pictures.
is_frame() {
  local r g b
  read -r r g b <<<"$(pixel "$1" "$2")"
  [ -n "$b" ] && [ "$r" -gt 225 ] && [ "$g" -gt 215 ] && [ "$b" -gt 195 ] && [ "$r" -ge $((b + 5)) ]
}
table_laid_out() {
  local y
  for y in 219 360 501; do
    is_frame 597 "$y" && is_frame 681 "$y" || return 1
  done
}
table_moving() {
  crop 640 360 60 "$WORK/c.png"
  [ "$(difference "$WORK/ref.png" "$WORK/c.png")" -gt 600 ]
}
# Row (1 top, 2 middle, 3 bottom) of the card that looks most like chosen.png.
find_row() {
  import -window root "$WORK/table.png"
  local best=999999 bestRow=2 r k d
  for r in 0 1 2; do
    for k in 0 1 2 3 4 5 6; do
      convert "$WORK/table.png" -crop "40x40+$(($(card_x $k) - 20))+$(($(card_y $r) - 20))" +repage "$WORK/cell.png"
      d=$(difference "$WORK/chosen.png" "$WORK/cell.png")
      if [ "$d" -lt "$best" ]; then best=$d; bestRow=$((3 - r)); fi
    done
  done
  echo "$bestRow"
}
row_y() { card_y $((3 - $1)); }

# --- one whole run ----------------------------------------------------------
# shellcheck disable=SC2086 # the options are words
(cd "$WORK/bin" && exec ./vimra ${VIMRA_ARGS:-}) &
PID=$!
note "vimra started (pid $PID)"

# Menu: the green Start button appears after the engine's splash.
if ! wait_for 120 is_green 515 300; then fail "the main menu did not appear"; fi
sleep 1
shot 01-menu

click 714 382  # Settings
wait_for 30 is_light 470 160 || fail "Settings did not open"
shot 02-settings-english
click 734 202  # language: Polski
sleep 2
shot 03-settings-polski
click 734 202  # language: English again
sleep 1
click 640 396  # OK
sleep 1
click 640 342  # About
wait_for 30 is_light 340 143 || fail "About did not open"
sleep 1
shot 04-about
click 640 429  # OK
sleep 1
click 566 382  # How to play
wait_for 30 is_light 340 183 || fail "How to play did not open"
sleep 1
shot 05-how-to-play
click 640 349  # OK
sleep 1
shot 06-menu-again

click 566 302  # Start: the cards keep circling, the hint bar comes up
sleep 2
shot 07-ring
start=$SECONDS
crop 640 360 60 "$WORK/ref.png"
click 640 360  # the trick begins with a gather
sleep 2
shot 08-first-gather
wait_for 240 table_laid_out || fail "the cards were not laid out"
frameTime=$(awk -v s=$((SECONDS - start)) 'BEGIN { printf "%.3f", s / 182 }')
note "first gather and deal took $((SECONDS - start)) s (at most $frameTime s a frame)"
sleep 1
shot 09-table
# The chosen card: the one in the middle of the top row.
crop "$(card_x 3)" "$(card_y 2)" 40 "$WORK/chosen.png"

for answer in 1 2 3; do
  wait_for 240 table_laid_out || fail "no table before answer $answer"
  sleep 2  # the last frames of a deal look laid out already
  row=$(find_row)
  note "answer $answer: row $row"
  crop 640 360 60 "$WORK/ref.png"
  click 640 "$(row_y "$row")"
  tries=0
  until wait_for 30 table_moving; do
    tries=$((tries + 1))
    [ $tries -lt 4 ] || { fail "answer $answer was not taken"; break; }
    click 640 "$(row_y "$row")"
  done
  if [ "$answer" = 1 ]; then
    sleep 2
    shot 10-gather
  fi
done

# Stars, the move to the reveal, then the card grows among the stars.
wait_s=$(awk -v f="$frameTime" 'BEGIN { printf "%d", f * (62 + 122 + 120) + 3 }')
note "waiting ${wait_s} s for the reveal"
sleep "$wait_s"
# The card tumbles as it grows. The picture is taken when its face has come
# round after its navy back, a quarter turn (90 frames) past the edge.
back_showing() {
  import -window root -crop 160x160+560+280 png:- 2>/dev/null | convert - +repage -scale 8x8 txt:- |
    sed -n 's/.*(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\)[,)].*/\1 \2 \3/p' |
    awk '$3 > $1 + 20 && $3 > $2 + 15 && $1 < 100 { n++ } END { exit !(n >= 24) }'
}
for _ in $(seq 1 40); do
  back_showing && break
  sleep 0.5
done
for _ in $(seq 1 60); do
  back_showing || break
  sleep 0.5
done
sleep "$(awk -v f="$frameTime" 'BEGIN { printf "%.1f", f * 90 }')"
shot 11-reveal
click 640 360  # back to the ring
sleep "$(awk -v f="$frameTime" 'BEGIN { printf "%d", f * 122 + 2 }')"
shot 12-ring-after-trick

# Escape until the program ends.
quit_with_escape 10 3
[ "$QUIT_STATUS" = 0 ] || fail "exit status $QUIT_STATUS"
note "vimra ended with status $QUIT_STATUS"

# --- what the run left behind ------------------------------------------------
size=$(stat -c %s "$WORK/bin/vimraconfig.bin" 2>/dev/null || echo missing)
[ "$size" = 48 ] || fail "vimraconfig.bin is $size bytes, not 48"
if [ ! -s "$WORK/audio.raw" ] || [ "$(tr -d '\000' <"$WORK/audio.raw" | head -c 1 | wc -c)" = 0 ]; then
  fail "the audio output is silent"
fi
for f in "$SHOTS"/*.png; do
  colours=$(identify -format '%k' "$f")
  [ "$colours" -gt 100 ] || fail "$(basename "$f") is nearly uniform ($colours colours)"
done

# --- failed starts ------------------------------------------------------------
check_failed_start() {  # NAME CAUSE [ENV...]: a start that must fail naming CAUSE
  local name=$1 cause=$2 status=0
  shift 2
  rm -f "$WORK/bin/vimraconfig.bin"
  (cd "$WORK/bin" && exec env "$@" timeout 60 ./vimra 2>"$WORK/stderr" >"$WORK/stdout") || status=$?
  [ "$status" != 0 ] || fail "$name: exit status 0"
  # The output is one line starting "vimra: ", also without a display, where
  # the libraries probing for one are kept from adding lines of their own.
  [ "$(wc -l <"$WORK/stderr")" = 1 ] || fail "$name: stderr is not one line: $(cat "$WORK/stderr")"
  [ "$(cut -c1-7 "$WORK/stderr")" = "vimra: " ] || fail "$name: not the program's message"
  grep -q "$cause" "$WORK/stderr" || fail "$name: message does not name $cause"
  [ ! -s "$WORK/stdout" ] || fail "$name: printed to stdout"
  [ ! -e "$WORK/bin/vimraconfig.bin" ] || fail "$name: left a settings file"
  note "$name: status $status, message: $(tail -n 1 "$WORK/stderr")"
}
check_failed_start "without a display" "no display" -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR
mv "$WORK/bin/vimradata.bin" "$WORK/pack.bin"
check_failed_start "without vimradata.bin" "vimradata.bin"
head -c 5000 "$WORK/pack.bin" >"$WORK/bin/vimradata.bin"
check_failed_start "with a truncated vimradata.bin" "vimradata.bin"

harness_end "all checks passed; screenshots in $SHOTS"
