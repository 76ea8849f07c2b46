#!/usr/bin/env bash
# Installs the build into a temporary prefix, builds examples/card against
# it out of tree through find_package(kxEngine), and runs the example under
# its own virtual display: the window shows a card in its middle and a Quit
# button, and a click on Quit ends the program with status 0. A second run
# ends by itself after a few frames (--frames).
#
# usage: example.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

. "$(dirname "$0")/../support/harness.sh"
harness_begin example 180 1280x720x24 "$@"

BUILD=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)

# shellcheck source=examplelib.sh
. "$(dirname "$0")/examplelib.sh"
install_engine
PACK=$WORK/prefix/share/vimra/vimradata.bin
build_example card
EXAMPLE=$WORK/card/kxcard
[ -x "$EXAMPLE" ] || { echo "example: FAIL: no program"; exit 1; }

export SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# Usage errors: status 2 and the usage on stderr.
status=0
"$EXAMPLE" >/dev/null 2>"$WORK/err" || status=$?
[ "$status" = 2 ] && grep -q '^usage: kxcard' "$WORK/err" || fail "without arguments: status $status"

# A run ended with the Quit button.
(cd "$WORK" && exec "$EXAMPLE" "$PACK" --frames 6000) &
PID=$!
wait_window "$PID" || fail "no window"
if [ -n "$WIN" ]; then
  note "window ${WIDTH}x${HEIGHT} at $X,$Y"
  [ "$WIDTH" = 640 ] && [ "$HEIGHT" = 480 ] || fail "the window is ${WIDTH}x${HEIGHT}"
  # After the engine's logo, in one and the same picture: the example's
  # backdrop (0.15, 0.3, 0.45) below the card, the red Quit button in the
  # bottom-right corner, and in the middle a card (many colours).
  backdrop=0 button=0 card=0
  for _ in $(seq 1 60); do
    find_window "$PID" && shot "${WIDTH}x${HEIGHT}+$X+$Y" "$WORK/win.png" || { sleep 0.5; continue; }
    backdrop=0
    if near "$WORK/win.png" $((WIDTH / 2)) $((HEIGHT - 40)) 38 77 115; then backdrop=1; fi
    read -r r g b <<<"$(image_pixel "$WORK/win.png" $((WIDTH - 84)) $((HEIGHT - 44)))"
    button=0
    if [ -n "$b" ] && [ "$r" -gt $((g + 60)) ] && [ "$r" -gt $((b + 60)) ]; then button=1; fi
    convert "$WORK/win.png" -crop "160x240+$((WIDTH / 2 - 80))+$((HEIGHT / 2 - 120))" +repage "$WORK/mid.png"
    card=0
    if [ "$(identify -format '%k' "$WORK/mid.png")" -gt 50 ]; then card=1; fi
    [ "$backdrop$button$card" = 111 ] && break
    sleep 0.5
  done
  [ "$backdrop" = 1 ] || fail "the example's backdrop is not shown"
  [ "$button" = 1 ] || fail "no Quit button"
  [ "$card" = 1 ] || fail "no card in the middle of the window"
  xdotool mousemove $((X + WIDTH - 84)) $((Y + HEIGHT - 36))
  sleep 0.3
  xdotool click 1
fi
wait_exit "$PID"
PID=""
status=$STATUS
[ "$status" = 0 ] || fail "Quit did not end the program with status 0 (status $status)"

# A run that ends by itself after a few frames.
status=0
timeout 120 "$EXAMPLE" "$PACK" --frames 30 >/dev/null 2>"$WORK/err" || status=$?
[ "$status" = 0 ] || fail "--frames 30: status $status: $(cat "$WORK/err")"
# A file that is not a pack: the start fails with a message.
status=0
timeout 120 "$EXAMPLE" "$WORK/install.log" --frames 30 >/dev/null 2>"$WORK/err" || status=$?
[ "$status" = 1 ] && grep -q '^kxcard: ' "$WORK/err" || fail "a bad pack: status $status: $(cat "$WORK/err")"
# The other malformed command lines, and the whole message of a failed start.
check_arguments card "$PACK" "kxcard: cannot start: no display, or FILE is no usable pack"

harness_end
