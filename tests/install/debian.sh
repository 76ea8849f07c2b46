#!/usr/bin/env bash
# Builds the Debian packages from a copy of the source tree the way a
# maintainer would (dpkg-buildpackage over debian/), then checks them:
# lintian reports no error or warning beyond the overrides the packages
# carry; each package holds what it should (the library in the multiarch
# folder with its shlibs and ldconfig trigger, stripped programs with their
# debug information in -dbgsym packages, compressed manual pages, copyright
# and changelog); the dependencies come from dpkg-shlibdeps; and the
# unpacked packages run: `vimra --help` tells an installed user where the
# game keeps its files.
#
# With KX_TEST_DEBIAN_ROOT=1 it goes on to the full test in a throwaway
# Debian root (debroot.sh): install with apt, start the game from its
# desktop entry under Xvfb, build and run a program against libkxengine-dev,
# purge, and find nothing left. That needs Debian's archive and some minutes.
#
# usage: debian.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

BUILD=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
WORK=$(mktemp -d /tmp/kx-debian-XXXXXX)
cleanup() { rm -rf "$WORK"; }
trap cleanup EXIT
failures=0
fail() { echo "debian: FAIL: $*"; failures=$((failures + 1)); }
note() { echo "debian: $*"; }

# --- build ------------------------------------------------------------------
# A copy of the tracked files, so that nothing of a working tree's builds
# goes in and the packages land in $WORK, beside the copy. KX_TEST_DEBS=DIR
# checks the packages of an earlier dpkg-buildpackage in DIR instead.
if [ -n "${KX_TEST_DEBS:-}" ]; then
  cp "$KX_TEST_DEBS"/*.deb "$KX_TEST_DEBS"/*.changes "$KX_TEST_DEBS"/*.buildinfo "$WORK/"
else
  mkdir "$WORK/src"
  if git -C "$SOURCE" rev-parse --git-dir >/dev/null 2>&1; then
    git -C "$SOURCE" ls-files -z | (cd "$SOURCE" && xargs -0 cp --parents -t "$WORK/src")
  else
    tar -C "$SOURCE" --exclude='./build*' -cf - . | tar -C "$WORK/src" -xf -
  fi
  # The build's pack spares the package build the asset generation.
  start=$SECONDS
  if ! (cd "$WORK/src" && KX_PREBUILT_PACK="$BUILD/bin/vimradata.bin" DEB_BUILD_OPTIONS="parallel=$(nproc)" \
    dpkg-buildpackage -b -us -uc >"$WORK/buildpackage.log" 2>&1); then
    echo "debian: FAIL: dpkg-buildpackage failed:"
    grep -E 'error|Error|dh_[a-z]*:' "$WORK/buildpackage.log" | tail -15
    exit 1
  fi
  note "dpkg-buildpackage took $((SECONDS - start)) s"
fi
V=$(dpkg-parsechangelog -l "$SOURCE/debian/changelog" -S Version)
A=$(dpkg --print-architecture)
M=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
declare -A DEB=(
  [libkxengine1]=$WORK/libkxengine1_${V}_$A.deb
  [libkxengine-dev]=$WORK/libkxengine-dev_${V}_$A.deb
  [vimra]=$WORK/vimra_${V}_$A.deb
  [vimra-data]=$WORK/vimra-data_${V}_all.deb
)
for p in "${!DEB[@]}"; do [ -s "${DEB[$p]}" ] || fail "no package $p"; done
for p in libkxengine1 libkxengine-dev vimra; do
  [ -s "$WORK/$p-dbgsym_${V}_$A.deb" ] || fail "no debug package $p-dbgsym"
done
[ "$failures" = 0 ] || exit 1

# --- lintian ----------------------------------------------------------------
# Errors and warnings fail; the packages' own overrides (each with its
# reason) are honoured and counted. The -dbgsym packages, which debhelper
# makes and which carry no overrides, and the .changes file are checked too,
# with the placeholder address (the overrides' one tag) left aside.
start=$SECONDS
# (With --show-overrides, --fail-on counts the overridden tags too: the
# E: and W: lines are what is reported.)
lintian --fail-on none --show-overrides "${DEB[@]}" >"$WORK/lintian.log" 2>&1 ||
  fail "lintian did not run: $(tail -3 "$WORK/lintian.log")"
! grep -qE '^[EW]:' "$WORK/lintian.log" ||
  fail "lintian on the packages: $(grep -E '^[EW]:' "$WORK/lintian.log" | head -20)"
lintian --fail-on error,warning --suppress-tags bogus-mail-host,bogus-mail-host-in-debian-changelog \
  "$WORK"/*-dbgsym_*.deb "$WORK"/*.changes >"$WORK/lintian-rest.log" 2>&1 ||
  fail "lintian on the debug packages and the changes: $(grep -E '^[EW]:' "$WORK/lintian-rest.log" | head -20)"
overridden=$(grep -c '^O: ' "$WORK/lintian.log" || true)
note "lintian took $((SECONDS - start)) s; $overridden overridden tag(s): $(sed -n 's/^O: [^:]*: \([^ ]*\).*/\1/p' "$WORK/lintian.log" | sort -u | tr '\n' ' ')"
[ "$overridden" -gt 0 ] || fail "no override was used: lintian did not read them"

# --- contents -----------------------------------------------------------------
for p in "${!DEB[@]}"; do
  dpkg-deb -c "${DEB[$p]}" | awk '{ print $6 ($7 == "->" ? " -> " $8 : "") }' | sed 's|^\./|/|' >"$WORK/$p.list"
done
list() { cat "$WORK/$1.list"; }
has() {  # has PACKAGE PATH-REGEX
  grep -qE "^$2\$" "$WORK/$1.list" || fail "$1 has no $2"
}
has libkxengine1 "/usr/lib/$M/libkxEngine\.so\.1\.0\.0"
has libkxengine1 "/usr/lib/$M/libkxEngine\.so\.1 -> libkxEngine\.so\.1\.0\.0"
has libkxengine-dev "/usr/lib/$M/libkxEngine\.so -> libkxEngine\.so\.1(\.0\.0)?"
has libkxengine-dev "/usr/include/kxEngine/frame/kxSDLWrapper\.h"
has libkxengine-dev "/usr/lib/$M/pkgconfig/kxEngine\.pc"
has libkxengine-dev "/usr/lib/$M/cmake/kxEngine/kxEngineConfig\.cmake"
has libkxengine-dev "/usr/bin/kxpack"
has libkxengine-dev "/usr/share/man/man1/kxpack\.1\.gz"
has libkxengine-dev "/usr/share/doc/libkxengine-dev/html/index\.html"
has vimra "/usr/games/vimra"
has vimra "/usr/libexec/vimra/vimra"
has vimra "/usr/share/man/man6/vimra\.6\.gz"
has vimra "/usr/share/applications/vimra\.desktop"
has vimra "/usr/share/icons/hicolor/256x256/apps/vimra\.png"
has vimra-data "/usr/share/games/vimra/vimradata\.bin"
for p in "${!DEB[@]}"; do
  has "$p" "/usr/share/doc/$p/copyright"
  has "$p" "/usr/share/doc/$p/changelog\.gz"
  # Each file in exactly one package.
  list "$p" | grep -v '/$' | sed 's/ -> .*//' >>"$WORK/all-files.txt"
done
dup=$(sort "$WORK/all-files.txt" | uniq -d | grep -v '^/usr/share/doc/' || true)
[ -z "$dup" ] || fail "files in more than one package: $dup"
# Nothing uncompressed under man, and no library outside the runtime package.
for p in "${!DEB[@]}"; do
  list "$p" | grep -E '^/usr/share/man/.*[^/]$' | grep -v '\.gz$' && fail "$p has uncompressed manual pages"
  libs=$(list "$p" | sed 's/ -> .*//' | grep -E '\.so\.[0-9]' || true)
  [ "$p" = libkxengine1 ] || [ -z "$libs" ] || fail "$p holds a versioned library: $libs"
done
# The copyright file is machine-readable and names the fonts the pack
# renders.
dpkg-deb --fsys-tarfile "${DEB[vimra-data]}" | tar -xO ./usr/share/doc/vimra-data/copyright >"$WORK/copyright"
head -1 "$WORK/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not machine-readable"
grep -q '^License: Bitstream-Vera' "$WORK/copyright" && grep -q 'DejaVu Sans' "$WORK/copyright" ||
  fail "the copyright file does not name the DejaVu fonts and their licence"

# --- the library's control data -----------------------------------------------
mkdir "$WORK/ctl"
dpkg-deb -e "${DEB[libkxengine1]}" "$WORK/ctl"
grep -qE "^libkxEngine 1 libkxengine1 \(>= " "$WORK/ctl/shlibs" 2>/dev/null || fail "no shlibs entry: $(cat "$WORK/ctl/shlibs" 2>&1)"
grep -q 'ldconfig' "$WORK/ctl/triggers" 2>/dev/null || fail "no ldconfig trigger"
[ "$(dpkg-deb -f "${DEB[libkxengine1]}" Multi-Arch)" = same ] || fail "the library is not Multi-Arch: same"

# --- dependencies (dpkg-shlibdeps) ---------------------------------------------
depends() { dpkg-deb -f "${DEB[$1]}" Depends; }
for d in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libglew2.2 zlib1g libc6 libstdc\\+\\+6; do
  grep -qE "(^|, )$d( |,|$)" <<<"$(depends libkxengine1)" || fail "libkxengine1 does not depend on $d: $(depends libkxengine1)"
done
grep -qE "libkxengine1 \(>= [0-9]" <<<"$(depends vimra)" || fail "vimra does not depend on libkxengine1: $(depends vimra)"
grep -qE "vimra-data \(= $V\)" <<<"$(depends vimra)" || fail "vimra does not depend on its data: $(depends vimra)"
grep -qE "libkxengine1 \(= $V\)" <<<"$(depends libkxengine-dev)" || fail "the development package does not pin the library"
[ "$(dpkg-deb -f "${DEB[vimra-data]}" Architecture)" = all ] || fail "vimra-data is not Architecture: all"

# --- unpacked: stripped programs, their debug files, the launcher ---------------
ROOT=$WORK/root
for p in "${!DEB[@]}"; do dpkg-deb -x "${DEB[$p]}" "$ROOT"; done
for p in libkxengine1 libkxengine-dev vimra; do dpkg-deb -x "$WORK/$p-dbgsym_${V}_$A.deb" "$WORK/dbg"; done
for f in "usr/lib/$M/libkxEngine.so.1.0.0" usr/libexec/vimra/vimra usr/bin/kxpack; do
  # Whole outputs into variables: grep -q on a pipe would end readelf early.
  sections=$(readelf -S "$ROOT/$f" 2>/dev/null)
  dynamic=$(readelf -d "$ROOT/$f" 2>/dev/null)
  grep -q '\.debug_info' <<<"$sections" && fail "$f is not stripped"
  grep -qE 'RUNPATH|RPATH' <<<"$dynamic" && fail "$f carries a library search path"
  id=$(readelf -n "$ROOT/$f" 2>/dev/null | sed -n 's/.*Build ID: *//p')
  dbg=$WORK/dbg/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug
  dbgsections=$(readelf -S "$dbg" 2>/dev/null || true)
  [ -n "$id" ] && grep -q '\.debug_info' <<<"$dbgsections" || fail "no debug file for $f (build id $id)"
done
cmp -s "$BUILD/bin/vimradata.bin" "$ROOT/usr/share/games/vimra/vimradata.bin" || fail "the packaged pack differs from the build's"
export LD_LIBRARY_PATH=$ROOT/usr/lib/$M
help=$(HOME="$WORK/home" "$ROOT/usr/games/vimra" --help) || fail "vimra --help failed"
grep -q '~/.local/share/vimra' <<<"$help" || fail "vimra --help does not tell where the installed game keeps its files: $help"
grep -q 'vimra launcher\|vimra command' <<<"$help" || fail "vimra --help does not mention the launcher"
[ "$(HOME="$WORK/home" "$ROOT/usr/games/vimra" --version)" = "vimra $V" ] || fail "vimra --version"
[ -L "$WORK/home/.local/share/vimra/vimradata.bin" ] || fail "the launcher made no per-user folder"
man=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$ROOT/usr/share/man/man6/vimra.6.gz" 2>"$WORK/man.err" | col -b)
[ ! -s "$WORK/man.err" ] || fail "vimra.6: $(cat "$WORK/man.err")"
grep -q '/usr/share/games/vimra/vimradata.bin' <<<"$man" || fail "the manual page does not name the installed pack"
grep -q 'local/share/vimra' <<<"$man" || fail "the manual page does not name the per-user folder"
"$ROOT/usr/bin/kxpack" verify "$ROOT/usr/share/games/vimra/vimradata.bin" >/dev/null || fail "the packaged kxpack does not verify the packaged pack"
unset LD_LIBRARY_PATH

if [ "${KX_TEST_DEBIAN_ROOT:-}" = 1 ]; then
  bash "$(dirname "$0")/debroot.sh" "$WORK" "$SOURCE" || fail "the throwaway Debian root"
fi

if [ "$failures" -gt 0 ]; then
  echo "debian: $failures check(s) failed"
  exit 1
fi
echo "debian: all checks passed"
