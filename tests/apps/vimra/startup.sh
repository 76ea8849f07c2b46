#!/usr/bin/env bash
# Starts the real vimra from the outside in every way a machine can let it
# down, and checks that each start either plays or ends cleanly with one
# true line: the command line (--help, --version, unknown options, --window),
# the pack missing, a FIFO, a directory or unreadable, no display, no audio
# device, OpenGL below 1.5, a window without multisampled visuals, and a quit
# (Escape, SIGTERM) while the engine's logo is still up. Runs on its own
# virtual display, larger than the game's window so --window shows.
#
# usage: startup.sh BIN_DIR   (BIN_DIR holds vimra and vimradata.bin; its
#                              ../lib holds the engine)
set -euo pipefail
[ -z "${VIMRA_STARTUP_TRACE:-}" ] || set -x

. "$(dirname "$0")/../../support/harness.sh"
harness_begin startup 120 1600x900x24 "$@"

BIN_DIR=$(cd "$1" && pwd)

mkdir -p "$WORK/bin"
cp "$BIN_DIR/vimra" "$BIN_DIR/vimradata.bin" "$WORK/bin/"
# The engine is copied, not linked: one start runs as another user, who may
# not be able to enter the folder the build lives in.
mkdir "$WORK/lib"
cp -a "$BIN_DIR/../lib"/libkxEngine.so* "$WORK/lib/"
GAME="$WORK/bin"
export SDL_AUDIODRIVER=dummy
# The program's exit in a sanitizer build would report what the system's GL
# libraries keep; the in-process tests check leaks.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
OUT="$WORK/stdout"
ERR="$WORK/stderr"

# run_cli NAME STATUS ARGS...: a command-line run that must end by itself.
run_cli() {
  local name=$1 want=$2 status=0
  shift 2
  (cd "$GAME" && exec timeout 30 ./vimra "$@" >"$OUT" 2>"$ERR") || status=$?
  [ "$status" = "$want" ] || fail "$name: status $status, not $want"
}

run_cli "--help" 0 --help
grep -q '^usage: vimra' "$OUT" || fail "--help: no usage on stdout"
[ ! -s "$ERR" ] || fail "--help: wrote to stderr"
run_cli "--help after another option" 0 --window --help
grep -q -- '--msaa' "$OUT" || fail "--help: the usage does not name --msaa"
run_cli "--version" 0 --version
grep -qx 'vimra [0-9][0-9.]*' "$OUT" || fail "--version printed: $(cat "$OUT")"
[ "$(wc -l <"$OUT")" = 1 ] || fail "--version: not one line"
run_cli "an unknown option" 2 --fullscreen
[ ! -s "$OUT" ] || fail "an unknown option: wrote to stdout"
[ "$(head -n 1 "$ERR")" = 'vimra: unknown option "--fullscreen"' ] || fail "unknown option: $(head -n 1 "$ERR")"
grep -q '^usage: vimra' "$ERR" || fail "an unknown option: no usage on stderr"
run_cli "a bad count" 2 --msaa 3
[ "$(head -n 1 "$ERR")" = 'vimra: --msaa takes 0, 2 or 4, not "3"' ] || fail "bad count: $(head -n 1 "$ERR")"
[ ! -e "$GAME/vimraconfig.bin" ] || fail "the command line alone left a settings file"
note "command line: --help, --version and usage errors as expected"

# failed_start NAME LINE [ENV...]: a start that must end, status 1, with
# exactly LINE on stderr (a pattern when LINE ends in '*'), nothing on
# stdout, no settings file.
failed_start() {
  local name=$1 line=$2 status=0
  shift 2
  rm -f "$GAME/vimraconfig.bin"
  (cd "$GAME" && exec env "$@" timeout 60 ./vimra >"$OUT" 2>"$ERR") || status=$?
  [ "$status" != 124 ] || fail "$name: hung"
  [ "$status" = 1 ] || fail "$name: status $status, not 1"
  [ "$(wc -l <"$ERR")" = 1 ] || fail "$name: stderr is not one line: $(cat "$ERR")"
  # shellcheck disable=SC2053
  [[ "$(cat "$ERR")" == $line ]] || fail "$name: printed: $(cat "$ERR")"
  [ ! -s "$OUT" ] || fail "$name: wrote to stdout"
  [ ! -e "$GAME/vimraconfig.bin" ] || fail "$name: left a settings file"
  note "$name: status $status: $(cat "$ERR")"
}

mv "$GAME/vimradata.bin" "$WORK/pack.bin"
failed_start "no pack" 'vimra: no "vimradata.bin" in the working directory'
mkfifo "$GAME/vimradata.bin"
failed_start "the pack a FIFO" 'vimra: "vimradata.bin" in the working directory is a FIFO, not a file'
rm "$GAME/vimradata.bin"
mkdir "$GAME/vimradata.bin"
failed_start "the pack a directory" \
  'vimra: "vimradata.bin" in the working directory is a directory, not a file'
rmdir "$GAME/vimradata.bin"
cp "$WORK/pack.bin" "$GAME/vimradata.bin"
chmod 000 "$GAME/vimradata.bin"
if [ "$(id -u)" = 0 ]; then
  # Permissions do not bind root: the check runs as an unprivileged user,
  # who may enter the folders but not read the pack.
  chmod 755 "$WORK" "$GAME" "$WORK/lib"
  failed_start "the pack unreadable" \
    'vimra: "vimradata.bin" in the working directory cannot be read (Permission denied)' \
    setpriv --reuid=65534 --regid=65534 --clear-groups
else
  failed_start "the pack unreadable" \
    'vimra: "vimradata.bin" in the working directory cannot be read (Permission denied)'
fi
chmod 644 "$GAME/vimradata.bin"
head -c 5000 "$WORK/pack.bin" >"$GAME/vimradata.bin"
failed_start "the pack cut short" \
  'vimra: "vimradata.bin" in the working directory cannot be read as a resource pack'
cp "$WORK/pack.bin" "$GAME/vimradata.bin"

# Without a display SDL probes for one; the libraries it tries must not add
# lines of their own.
failed_start "no display" 'vimra: no display*' -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR
failed_start "OpenGL 1.4" \
  'vimra: OpenGL 1.5 with buffer objects is needed; the driver offers OpenGL 1.4*' \
  MESA_GL_VERSION_OVERRIDE=1.4

# started ARGS...: starts the game in the background, waits until it has
# printed its multisampling line (Init is over), leaves its pid in PID.
started() {
  rm -f "$GAME/vimraconfig.bin"
  : >"$OUT"  # not the last run's lines, before the new run opens it
  (cd "$GAME" && exec "$@" >"$OUT" 2>"$ERR") &
  PID=$!
  local end=$((SECONDS + 120))
  while [ $SECONDS -lt $end ]; do
    grep -q 'multisampling' "$OUT" 2>/dev/null && return 0
    kill -0 "$PID" 2>/dev/null || return 1
    sleep 0.5
  done
  return 1
}
# ends NAME SECONDS: the game must end by itself within SECONDS with status
# 0 and leave a 48-byte settings file.
ends() {
  local name=$1 end=$((SECONDS + $2)) status=0
  while kill -0 "$PID" 2>/dev/null && [ $SECONDS -lt $end ]; do sleep 0.5; done
  if kill -0 "$PID" 2>/dev/null; then
    fail "$name: still running after $2 s"
    kill -KILL "$PID"
  fi
  wait "$PID" || status=$?
  PID=""
  [ "$status" = 0 ] || fail "$name: status $status"
  local size
  size=$(stat -c %s "$GAME/vimraconfig.bin" 2>/dev/null || echo missing)
  [ "$size" = 48 ] || fail "$name: settings file is $size bytes, not 48"
}
# window_of: the id of the running game's window, found by its title.
window_of() { xdotool search --onlyvisible --pid "$PID" --name '^vimra$' 2>/dev/null | tail -n 1; }

# No audio device: one line, then the game plays silently.
started env SDL_AUDIODRIVER=no-such-driver ./vimra || fail "no audio device: did not start: $(cat "$ERR")"
[ "$(cat "$ERR")" = "vimra: no audio device; playing without sound (Audio target 'no-such-driver' not available)" ] ||
  fail "no audio device: printed: $(cat "$ERR")"
note "no audio device: $(cat "$ERR")"
kill -TERM "$PID"
ends "no audio device" 30

# Full screen by default, titled; --window is a 1280 x 720 window.
started ./vimra || fail "default start failed: $(cat "$ERR")"
[ ! -s "$ERR" ] || fail "default start: wrote to stderr: $(cat "$ERR")"
[ "$(wc -l <"$OUT")" = 1 ] || fail "default start: not one line on stdout: $(cat "$OUT")"
note "default start: $(cat "$OUT")"
wid=$(window_of)
if [ -z "$wid" ]; then
  fail "no window titled \"vimra\""
else
  size=$(xwininfo -id "$wid" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
  [ "$size" = 1600x900 ] || fail "full screen window is $size"
  icon=$(xprop -id "$wid" _NET_WM_ICON)
  [[ "$icon" == *"Icon ("* ]] || fail "the window has no icon: $icon"
fi
kill -TERM "$PID"
ends "default start" 30
started ./vimra --window --msaa 4 || fail "--window start failed: $(cat "$ERR")"
grep -q '^vimra: multisampling 4x, as asked' "$OUT" || fail "--msaa 4: printed $(cat "$OUT")"
wid=$(window_of)
size=$( [ -n "$wid" ] && xwininfo -id "$wid" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
[ "$size" = 1280x720 ] || fail "--window: the window is ${size:-missing}"
note "--window --msaa 4: ${size:-no window}, $(cat "$OUT")"
kill -TERM "$PID"
ends "--window" 30

# A window whose visual has no multisampling (the screen's default visual):
# 4x asked, none given, and the game plays.
visual=$(xdpyinfo | awk '/default visual id:/ && !v { v = $4 } END { print v }')
started env SDL_VIDEO_X11_WINDOW_VISUALID="$visual" ./vimra --msaa 4 ||
  fail "no multisampled visual: did not start: $(cat "$ERR")"
grep -q '^vimra: no multisampling: the display offers no 4x' "$OUT" ||
  fail "no multisampled visual: printed $(cat "$OUT")"
note "no multisampled visual: $(cat "$OUT")"
kill -TERM "$PID"
ends "no multisampled visual" 30

# A quit while the logo is up: one request, then the program ends by itself.
quit_during_logo() {  # NAME ACTION
  rm -f "$GAME/vimraconfig.bin"
  : >"$OUT"
  # One window from the start: the automatic choice on a software renderer
  # would make it twice, and a key could reach neither.
  (cd "$GAME" && exec ./vimra --msaa 0 >"$OUT" 2>"$ERR") &
  PID=$!
  # The logo is up for three seconds once the window is.
  local end=$((SECONDS + 30))
  until [ -n "$(window_of)" ] || [ $SECONDS -ge $end ]; do sleep 0.2; done
  [ -n "$(window_of)" ] || fail "$1: no window"
  xdotool mousemove 800 450  # keys go to the window under the pointer
  sleep 1
  grep -q 'multisampling' "$OUT" && fail "$1: the logo was over before the request"
  eval "$2"
  ends "$1" 60
  [ ! -s "$ERR" ] || fail "$1: wrote to stderr: $(cat "$ERR")"
  note "$1: ended by itself with status 0 and a 48-byte settings file"
}
quit_during_logo "Escape during the logo" 'xdotool key Escape'
quit_during_logo "SIGTERM during the logo" 'kill -TERM "$PID"'

harness_end
