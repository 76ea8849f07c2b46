# The start every out-of-process test script shares. Source it, then call
#
#   harness_begin NAME DISPLAY SCREEN "$@"
#
# NAME starts every line the script prints ("NAME: FAIL: ...") and the name
# of its temporary folder. Unless the script already runs inside it, the
# script is started again on a virtual display of its own: xvfb-run looks for
# a free display from number DISPLAY up (each script has its own first
# number, so that scripts running in parallel do not race for the same one)
# with Xvfb's screen SCREEN ("1280x720x24"). Then:
#   WORK       a fresh temporary folder, removed when the script exits
#   PID        the program a check started; if it still runs at exit it is
#              killed
#   fail MSG   prints a failed check and counts it; note MSG prints a line
#   harness_end  the closing line: exits 1 when a check failed
#   quit_with_escape TRIES PAUSE  presses Escape, PAUSE seconds apart and at
#              most TRIES times, until the program PID ends; then waits for
#              it, leaves its exit status in QUIT_STATUS and clears PID
# Screen helpers for scripts that look at the display:
#   pixel X Y  the "r g b" of a pixel of the whole screen
#   is_green X Y  that pixel is clearly green (the game's Start button)
# shellcheck shell=bash

harness_begin() {
  HARNESS_NAME=$1
  local display=$2 screen=$3
  shift 3
  if [ "${KX_HARNESS_INNER:-}" != "$HARNESS_NAME" ]; then
    export KX_HARNESS_INNER=$HARNESS_NAME
    exec xvfb-run -a -n "$display" -s "-screen 0 $screen -noreset" "$0" "$@"
  fi
  WORK=$(mktemp -d "/tmp/kx-$HARNESS_NAME-XXXXXX")
  PID=""
  failures=0
  trap harness_cleanup EXIT
}

harness_cleanup() {
  if [ -n "$PID" ] && kill -0 "$PID" 2>/dev/null; then kill -KILL "$PID" 2>/dev/null || true; fi
  # A check may have taken the rights to parts of the folder away.
  chmod -R u+rwX "$WORK" 2>/dev/null || true
  rm -rf "$WORK"
}

fail() {
  echo "$HARNESS_NAME: FAIL: $*"
  failures=$((failures + 1))
}
note() { echo "$HARNESS_NAME: $*"; }

# harness_end [LINE]: the last line, LINE when every check passed.
harness_end() {
  if [ "$failures" -gt 0 ]; then
    echo "$HARNESS_NAME: $failures check(s) failed"
    exit 1
  fi
  echo "$HARNESS_NAME: ${1:-all checks passed}"
}

quit_with_escape() {
  local tries=$1 pause=$2 _
  for _ in $(seq 1 "$tries"); do
    kill -0 "$PID" 2>/dev/null || break
    xdotool key Escape
    sleep "$pause"
  done
  QUIT_STATUS=0
  wait "$PID" || QUIT_STATUS=$?
  PID=""
}

pixel() {
  import -window root -crop "1x1+$1+$2" txt:- 2>/dev/null | tail -1 |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\)[,)].*/\1 \2 \3/p'
}
is_green() {
  local r g b
  read -r r g b <<<"$(pixel "$1" "$2")"
  [ -n "$g" ] && [ "$g" -gt $((r + 30)) ] && [ "$g" -gt "$b" ]
}
