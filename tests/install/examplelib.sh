# Shared by the example tests: sourced after harness_begin
# (tests/support/harness.sh), with BUILD and SOURCE set.

# install_engine: installs the build into $WORK/prefix.
install_engine() {
  cmake --install "$BUILD" --prefix "$WORK/prefix" >"$WORK/install.log"
}

# build_example NAME: builds examples/NAME out of tree into $WORK/NAME,
# knowing only the prefix, with warnings as errors. A sanitizer build's
# engine needs the same runtime in the program.
build_example() {
  local name=$1 flags=() compiler
  if grep -q '^KX_SANITIZE:BOOL=ON' "$BUILD/CMakeCache.txt"; then
    flags+=(-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined)
  fi
  compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$BUILD/CMakeCache.txt")
  if ! cmake -S "$SOURCE/examples/$name" -B "$WORK/$name" -DCMAKE_PREFIX_PATH="$WORK/prefix" \
    -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_CXX_FLAGS_INIT="-Wall -Wextra -Werror" "${flags[@]}" \
    >"$WORK/configure.log" 2>&1; then
    fail "examples/$name does not configure: $(tail -5 "$WORK/configure.log")"
  elif ! cmake --build "$WORK/$name" >"$WORK/build.log" 2>&1; then
    fail "examples/$name does not build: $(grep -m3 -E 'error|warning' "$WORK/build.log")"
  fi
  grep -q "kxEngine_DIR:PATH=$WORK/prefix/" "$WORK/$name/CMakeCache.txt" 2>/dev/null ||
    fail "examples/$name did not find the engine package in the prefix"
}

# find_window PID: sets WIN, X, Y, WIDTH and HEIGHT to a visible window of
# the process; fails while there is none. The engine may replace its first
# window while it settles the context (a software renderer drops
# multisampling), so a window that vanishes between the search and the query
# is searched for again.
find_window() {
  local w geometry
  for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
    geometry=$(xdotool getwindowgeometry --shell "$w" 2>/dev/null) || continue
    eval "$geometry"
    WIN=$w
    return 0
  done
  return 1
}

# wait_window PID: find_window for up to 30 seconds.
wait_window() {
  WIN="" X="" Y="" WIDTH="" HEIGHT=""
  for _ in $(seq 1 60); do
    find_window "$1" && return 0
    sleep 0.5
  done
  return 1
}

# shot GEOMETRY FILE: a screenshot of part of the screen (WxH+X+Y).
shot() { import -window root -crop "$1" +repage "$2" 2>/dev/null; }

# image_pixel IMAGE X Y -> "r g b"
image_pixel() {
  convert "$1" -crop "1x1+$2+$3" txt:- | tail -1 |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\)[,)].*/\1 \2 \3/p'
}

# near IMAGE X Y R G B: the pixel is within 3 of the colour in each channel.
near() {
  local r g b
  read -r r g b <<<"$(image_pixel "$1" "$2" "$3")"
  [ -n "$b" ] && [ $((r - $4)) -ge -3 ] && [ $((r - $4)) -le 3 ] && [ $((g - $5)) -ge -3 ] &&
    [ $((g - $5)) -le 3 ] && [ $((b - $6)) -ge -3 ] && [ $((b - $6)) -le 3 ]
}

# wait_exit PID: sets STATUS to the exit status, or "none" after 15 seconds.
wait_exit() {
  STATUS=none
  for _ in $(seq 1 30); do
    if ! kill -0 "$1" 2>/dev/null; then
      STATUS=0
      wait "$1" || STATUS=$?
      return 0
    fi
    sleep 0.5
  done
}

# check_arguments NAME PACK FAILED_START: the command line every example
# takes through examples/common/kxExampleMain.h. A malformed one ends with
# status 2 and the usage line alone, before any window; a file that is no
# pack ends with status 1 and FAILED_START (where FILE stands for that file)
# as the last line on stderr.
check_arguments() {
  local program=$WORK/$1/kx$1 usage="usage: kx$1 PACK [--frames N]" args status
  for args in "extra" "--frames" "--frames 0" "--frames many" "--speed 5" "--frames 5 extra" \
    "--frames -5" "--frames 5abc" "--frames 99999999999999999999999"; do
    status=0
    # shellcheck disable=SC2086  # the words of args are the arguments
    timeout 60 "$program" "$2" $args >/dev/null 2>"$WORK/err" || status=$?
    [ "$status" = 2 ] && [ "$(cat "$WORK/err")" = "$usage" ] ||
      fail "kx$1 PACK $args: status $status: $(head -3 "$WORK/err")"
  done
  status=0
  timeout 120 "$program" "$WORK/install.log" --frames 30 >/dev/null 2>"$WORK/err" || status=$?
  [ "$status" = 1 ] && [ "$(tail -1 "$WORK/err")" = "${3//FILE/$WORK/install.log}" ] ||
    fail "a file that is no pack: status $status: $(tail -3 "$WORK/err")"
}
