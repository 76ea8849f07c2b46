#!/usr/bin/env bash
# Doxygen with the reference's settings over kxUndocumented.h must fail and
# name the one undocumented member, and only that one.
# usage: undocumented.sh DOXYFILE
set -uo pipefail
out=$(doxygen "$1" 2>&1)
status=$?
if [ "$status" = 0 ]; then
  echo "doxygen accepted a header with an undocumented member: $out"
  exit 1
fi
grep -q 'Member Undocumented.*is not documented' <<<"$out" || { echo "no warning about Undocumented: $out"; exit 1; }
if grep 'is not documented' <<<"$out" | grep -v 'Member Undocumented' | grep -q .; then
  echo "documented names were reported: $out"
  exit 1
fi
echo "doxygen refused the undocumented member: $(grep -m1 'is not documented' <<<"$out")"
