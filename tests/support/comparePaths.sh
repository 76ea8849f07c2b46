#!/bin/bash
# Draws the same pictures with both drawing paths and compares them.
#
#   comparePaths.sh OUT DIFF [--min-lit SHARE] -- PROGRAM [ARGS...]
#
# PROGRAM runs twice, in OUT/fixed and in OUT/es2 (made empty first), with
# "--renderer fixed" or "--renderer es2" after ARGS, and leaves pictures in
# its working folder: binary PPMs, or TGAs that ImageMagick turns into PPMs.
# DIFF (kxPictureDiff) then compares each es2 picture with its fixed
# reference. The folders are removed when every pair passes and kept, for
# looking at, when one does not.
set -u
out=$1
diff=$2
shift 2
diffArgs=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  diffArgs+=("$1")
  shift
done
[ $# -gt 1 ] || {
  echo "usage: comparePaths.sh OUT DIFF [--min-lit SHARE] -- PROGRAM [ARGS...]" >&2
  exit 2
}
shift

# In a sanitizer build the drawing program's exit would report what the
# system's GL and D-Bus libraries keep until exit (their modules are unloaded
# by then, so no suppression can name them); the in-process tests of the same
# code check leaks.
drawOptions="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

for path in fixed es2; do
  rm -rf "$out/$path"
  mkdir -p "$out/$path"
  (cd "$out/$path" && ASAN_OPTIONS=$drawOptions "$@" --renderer "$path") || {
    echo "the $path run failed (pictures so far in $out/$path)"
    exit 1
  }
  for tga in "$out/$path"/*.tga; do
    [ -e "$tga" ] || continue
    convert "$tga" "${tga%.tga}.ppm" || exit 1
  done
done

if "$diff" "${diffArgs[@]}" "$out/fixed" "$out/es2"; then
  rm -rf "$out"
else
  echo "pictures kept in $out/fixed and $out/es2"
  exit 1
fi
