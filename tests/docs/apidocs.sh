#!/usr/bin/env bash
# Runs Doxygen over the installed headers and the main page with every
# warning an error and compares the names it reports undocumented with the
# list of those not documented yet (docs/api/undocumented.txt). Fails on any
# other warning (a broken reference, a bad command), on a name missing from
# the list (a newly undocumented exported name) and on a listed name that is
# documented now (the list only shrinks). --update rewrites the list.
#
# usage: apidocs.sh DOXYFILE LIST [--update]
set -uo pipefail
DOXYFILE=$1 LIST=$2
out=$(doxygen "$DOXYFILE" 2>&1)
status=$?
# "file.h:12: error: Member X (function) of class Y is not documented." ->
# "Member X (function) of class Y"
names=$(grep 'is not documented\.' <<<"$out" | sed 's/^.*: \(error\|warning\): //; s/ is not documented\.$//' | sort -u)
others=$(grep -E ': (error|warning): ' <<<"$out" | grep -v 'is not documented\.' || true)
if [ "${3:-}" = --update ]; then
  printf '%s\n' "$names" | grep . >"$LIST" || : >"$LIST"
  echo "apidocs: $(grep -c . "$LIST") undocumented names listed in $LIST"
  exit 0
fi
failures=0
if [ -n "$others" ]; then
  echo "apidocs: FAIL: Doxygen warnings:"; echo "$others" | head -20; failures=$((failures + 1))
fi
new=$(comm -23 <(printf '%s\n' "$names" | grep .) <(sort -u "$LIST"))
if [ -n "$new" ]; then
  echo "apidocs: FAIL: exported names without documentation:"; echo "$new"; failures=$((failures + 1))
fi
done_now=$(comm -13 <(printf '%s\n' "$names" | grep .) <(sort -u "$LIST"))
if [ -n "$done_now" ]; then
  echo "apidocs: FAIL: documented now, take them off $LIST:"; echo "$done_now"; failures=$((failures + 1))
fi
if [ -z "$names" ] && [ "$status" != 0 ]; then
  echo "apidocs: FAIL: doxygen ended with status $status: $(tail -3 <<<"$out")"; failures=$((failures + 1))
fi
[ "$failures" = 0 ] || exit 1
echo "apidocs: the reference builds; $(grep -c . <<<"$names") names still listed as undocumented"
