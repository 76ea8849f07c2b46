#!/usr/bin/env bash
# Installs the build into a temporary prefix, builds one of the teaching
# examples against it out of tree through find_package(kxEngine), and runs it
# under its own virtual display, checking what it shows by its pixels.
#
#   gui:   a panel over the backdrop with a Count and a Quit button, a label
#          counting the clicks and a text viewer; the wheel scrolls the
#          viewer, Count changes the label, Quit ends with status 0.
#   sound: its pack is made by the installed kxpack at build time; a
#          textured cube turns over the backdrop while the music plays (the
#          sound goes to a file through SDL's disk driver and must not be
#          silence); a pack without music is refused with status 1.
#
# usage: examples.sh gui|sound BUILD_DIR SOURCE_DIR
set -euo pipefail

NAME=$1
shift
. "$(dirname "$0")/../support/harness.sh"
harness_begin "$NAME-example" 200 1280x720x24 "$NAME" "$@"

BUILD=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
# shellcheck source=examplelib.sh
. "$(dirname "$0")/examplelib.sh"

install_engine
build_example "$NAME"
EXAMPLE=$WORK/$NAME/kx$NAME
[ -x "$EXAMPLE" ] || { echo "$NAME example: FAIL: no program"; exit 1; }
export SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
BACKDROP=(38 77 115)  # glClearColor / panel colour 0.15, 0.3, 0.45

# Usage errors: status 2 and the usage on stderr.
status=0
"$EXAMPLE" >/dev/null 2>"$WORK/err" || status=$?
[ "$status" = 2 ] && grep -q "^usage: kx$NAME" "$WORK/err" || fail "without arguments: status $status"

# Runs the example in the background with the pack $1 until its window is
# up; sets PID and the window's geometry.
start() {
  (cd "$WORK" && exec "$EXAMPLE" "$1" --frames 6000 2>>"$WORK/run.err") &
  PID=$!
  wait_window "$PID" || fail "no window"
  [ "$WIDTH" = 640 ] && [ "$HEIGHT" = 480 ] || fail "the window is ${WIDTH}x${HEIGHT}"
}
# Screenshots the window into $1 until `check` (a function of the file)
# passes; false after 30 seconds.
shoot_until() {
  for _ in $(seq 1 60); do
    if find_window "$PID" && shot "${WIDTH}x${HEIGHT}+$X+$Y" "$1" && "$2" "$1"; then return 0; fi
    sleep 0.5
  done
  return 1
}
# crop IMAGE WxH+X+Y OUT
crop() { convert "$1" -crop "$2" +repage "$3"; }
# same A B: the two pictures have the same pixels (the files differ in their
# time stamps).
same() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }

if [ "$NAME" = gui ]; then
  PACK=$WORK/prefix/share/vimra/vimradata.bin
  [ -s "$PACK" ] || PACK=$(find "$WORK/prefix" -name vimradata.bin | head -1)
  start "$PACK"
  # The backdrop in the corner, the panel (half black over it) between the
  # controls, and the green Count button.
  gui_shown() {
    local r g b
    read -r r g b <<<"$(image_pixel "$1" 60 100)"
    near "$1" 5 5 "${BACKDROP[@]}" && near "$1" 170 450 19 38 57 && [ -n "$g" ] && [ "$g" -gt $((r + 40)) ]
  }
  shoot_until "$WORK/a.png" gui_shown || fail "the backdrop, the panel or the Count button is not shown"
  sleep 1
  shot "${WIDTH}x${HEIGHT}+$X+$Y" "$WORK/b.png"
  LABEL=180x30+40+40 VIEWER=380x300+220+90
  for part in LABEL VIEWER; do
    crop "$WORK/a.png" "${!part}" "$WORK/a-$part.png"
    crop "$WORK/b.png" "${!part}" "$WORK/b-$part.png"
    same "$WORK/a-$part.png" "$WORK/b-$part.png" || fail "$part changes by itself"
    [ "$(identify -format '%k' "$WORK/a-$part.png")" -gt 2 ] || fail "$part shows nothing"
  done
  # Two clicks on Count: the label reads "Clicks: 2", not what it read.
  for _ in 1 2; do
    xdotool mousemove $((X + 104)) $((Y + 106)) click 1
    sleep 0.4
  done
  sleep 0.5
  shot "${WIDTH}x${HEIGHT}+$X+$Y" "$WORK/c.png"
  crop "$WORK/c.png" "$LABEL" "$WORK/c-LABEL.png"
  same "$WORK/a-LABEL.png" "$WORK/c-LABEL.png" && fail "Count did not change the label"
  # The wheel over the viewer scrolls its lines; the label stays.
  xdotool mousemove $((X + 400)) $((Y + 240)) click 5 click 5
  sleep 1
  shot "${WIDTH}x${HEIGHT}+$X+$Y" "$WORK/d.png"
  crop "$WORK/d.png" "$VIEWER" "$WORK/d-VIEWER.png"
  crop "$WORK/d.png" "$LABEL" "$WORK/d-LABEL.png"
  same "$WORK/a-VIEWER.png" "$WORK/d-VIEWER.png" && fail "the wheel did not scroll the viewer"
  same "$WORK/c-LABEL.png" "$WORK/d-LABEL.png" || fail "the wheel changed the label"
  # Quit ends the program with status 0.
  xdotool mousemove $((X + 536)) $((Y + 424)) click 1
  wait_exit "$PID"
  PID=""
  [ "$STATUS" = 0 ] || fail "Quit did not end the program with status 0 (status $STATUS)"
else
  PACK=$WORK/sound/sound.bin
  KXPACK=$WORK/prefix/bin/kxpack
  "$KXPACK" verify "$PACK" >/dev/null || fail "the pack made at build time does not verify"
  entries=$("$KXPACK" list "$PACK" | awk '{ print $2 }' | sort | tr '\n' ' ')
  [ "$entries" = "crate cube ping tune " ] || fail "the pack holds: $entries"
  export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$WORK/out.raw
  start "$PACK"
  # The backdrop in a corner and the cube's orange in the middle.
  cube_shown() {
    near "$1" 5 5 "${BACKDROP[@]}" || return 1
    crop "$1" 120x120+260+180 "$WORK/mid.png"
    convert "$WORK/mid.png" -format %c histogram:info:- |
      sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\)[,)].*/\1 \2 \3/p' |
      awk '$1 > 150 && $2 > 60 && $2 < $1 - 40 && $3 < $2 - 30 { found = 1 } END { exit !found }'
  }
  shoot_until "$WORK/a.png" cube_shown || fail "no orange cube over the backdrop"
  sleep 2
  # Signed 16-bit samples: the music is well above silence.
  loudest=$(od -An -v -td2 -w2 "$WORK/out.raw" | awk '{ v = $1 < 0 ? -$1 : $1; if (v > m) m = v } END { print m + 0 }')
  note "$(stat -c %s "$WORK/out.raw") bytes of sound, loudest sample $loudest"
  [ "$loudest" -gt 2000 ] || fail "the sound written is silence (loudest sample $loudest)"
  xdotool key --window "$WIN" Escape
  wait_exit "$PID"
  PID=""
  [ "$STATUS" = 0 ] || fail "Escape did not end the program with status 0 (status $STATUS)"
  # A pack without music is refused, naming what it lacks.
  "$KXPACK" create --crunch "$WORK/nomusic.bin" cube="$SOURCE/examples/sound/assets/cube.mesh" \
    crate="$SOURCE/examples/sound/assets/crate.tga" >/dev/null
  status=0
  SDL_AUDIODRIVER=dummy timeout 120 "$EXAMPLE" "$WORK/nomusic.bin" --frames 30 >/dev/null 2>"$WORK/err" || status=$?
  [ "$status" = 1 ] && grep -q 'has no music' "$WORK/err" || fail "a pack without music: status $status: $(cat "$WORK/err")"
fi

# A run that ends by itself after a few frames.
status=0
SDL_AUDIODRIVER=dummy timeout 120 "$EXAMPLE" "$PACK" --frames 30 >/dev/null 2>"$WORK/err" || status=$?
[ "$status" = 0 ] || fail "--frames 30: status $status: $(cat "$WORK/err")"

# The other malformed command lines, and the whole message of a failed start
# (kxsound has named what it could not read on the line before).
export SDL_AUDIODRIVER=dummy
if [ "$NAME" = gui ]; then
  check_arguments gui "$PACK" "kxgui: cannot start: no display, or FILE is no usable pack"
else
  check_arguments sound "$PACK" "kxsound: cannot start"
fi

harness_end
