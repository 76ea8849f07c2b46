#!/usr/bin/env bash
# Installs the build into a staging root (DESTDIR) the way a user or a
# package would, and checks the result from the outside: the layout, the
# engine's packages (pkg-config, headers), the desktop entry and icons, the
# launcher running the installed game from an unrelated folder with a
# per-user settings folder, the uninstall by the install manifest, and the
# Debian package's contents and dependencies.
#
# usage: install.sh BUILD_DIR
# Exit status 0 when every check passed.
set -euo pipefail
. "$(dirname "$0")/../support/harness.sh"
harness_begin install 160 1280x720x24 "$@"

BUILD=$(cd "$1" && pwd)
PREFIX=/opt/vimra-test
ROOT=$WORK/root
P=$ROOT$PREFIX

DESTDIR=$ROOT cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log"
cp "$BUILD/install_manifest.txt" "$WORK/manifest.txt"

# --- layout -------------------------------------------------------------------
LIBDIR=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:[A-Z]*=//p' "$BUILD/CMakeCache.txt")
LIBDIR=${LIBDIR:-lib}
for f in bin/vimra bin/kxpack libexec/vimra/vimra; do
  [ -f "$P/$f" ] && [ -x "$P/$f" ] || fail "$f is not an installed program"
done
for f in share/vimra/vimradata.bin share/applications/vimra.desktop \
  share/man/man6/vimra.6 share/man/man1/kxpack.1 share/doc/vimra/LICENSE \
  include/kxEngine/kxExport.h include/kxEngine/data/kxResource.h \
  include/kxEngine/frame/kxSDLWrapper.h include/kxEngine/gui/kxGUIManager.h \
  "$LIBDIR/pkgconfig/kxEngine.pc" "$LIBDIR/cmake/kxEngine/kxEngineConfig.cmake" \
  "$LIBDIR/cmake/kxEngine/kxEngineConfigVersion.cmake"; do
  [ -s "$P/$f" ] || fail "$f is missing or empty"
done
# Headers only under the namespaced folder, none loose in include/.
loose=$(find "$P/include" -maxdepth 1 -type f | wc -l)
[ "$loose" = 0 ] || fail "$loose header(s) directly in include/"
cmp -s "$BUILD/bin/vimradata.bin" "$P/share/vimra/vimradata.bin" || fail "the installed pack differs from the built one"

# The engine: real file, SONAME link and development link; the SONAME is the
# library's ABI version, not the game's version text.
real=$(find "$P/$LIBDIR" -maxdepth 1 -type f -name 'libkxEngine.so.*')
soname=$(readelf -d "$real" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ "$soname" = libkxEngine.so.1 ] || fail "SONAME is \"$soname\""
[ "$(readlink "$P/$LIBDIR/libkxEngine.so.1")" = "$(basename "$real")" ] || fail "libkxEngine.so.1 does not link to $(basename "$real")"
[ "$(readlink -f "$P/$LIBDIR/libkxEngine.so")" = "$real" ] || fail "libkxEngine.so does not lead to the library"
case "$real" in *1.1.209*) fail "the library file carries the game's version: $real" ;; esac

# Installed programs find the engine from their own folder, never from the
# build tree.
for f in libexec/vimra/vimra bin/kxpack; do
  runpath=$(readelf -d "$P/$f" | sed -n 's/.*R\(UN\)\{0,1\}PATH.*\[\(.*\)\]/\2/p')
  case "$runpath" in '$ORIGIN/'*) ;; *) fail "$f has the run path \"$runpath\"" ;; esac
  if env -i PATH=/usr/bin:/bin ldd "$P/$f" | grep -q 'not found'; then fail "$f: a library is not found"; fi
done
if grep -rlF "$BUILD" "$P/$LIBDIR/cmake" "$P/$LIBDIR/pkgconfig" "$P/bin/vimra" >/dev/null; then
  fail "an installed text file names the build folder"
fi

# Desktop entry and icons: every hicolor size a square PNG of that size
# with a picture in it, not a blank square.
desktop-file-validate "$P/share/applications/vimra.desktop" || fail "desktop-file-validate rejects the entry"
grep -qx 'Icon=vimra' "$P/share/applications/vimra.desktop" || fail "the entry does not name the icon vimra"
icons=0
for size in 16 32 48 64 128 256; do
  png=$P/share/icons/hicolor/${size}x${size}/apps/vimra.png
  if [ ! -s "$png" ]; then
    fail "no ${size}x${size} icon"
    continue
  fi
  [ "$(identify -format '%m %wx%h' "$png")" = "PNG ${size}x${size}" ] || fail "$png is $(identify -format '%m %wx%h' "$png")"
  [ "$(identify -format '%k' "$png")" -gt 20 ] || fail "the ${size}x${size} icon is nearly uniform"
  icons=$((icons + 1))
done
note "$icons icons checked"
# The generator gives the same bytes again from the same pack.
"$BUILD/bin/vimraicons" "$BUILD/bin/vimradata.bin" "$WORK/icons" 16 256 || fail "vimraicons failed"
for size in 16 256; do
  cmp -s "$WORK/icons/${size}x${size}/apps/vimra.png" "$P/share/icons/hicolor/${size}x${size}/apps/vimra.png" ||
    fail "the ${size}x${size} icon comes out different when drawn again"
done
# Its refusals: a size that is no size (usage, 2), a pack without the title
# picture (1); neither writes an icon.
status=0
"$BUILD/bin/vimraicons" "$BUILD/bin/vimradata.bin" "$WORK/bad" 16x 2>/dev/null || status=$?
[ "$status" = 2 ] || fail "vimraicons with size 16x: status $status"
status=0
"$BUILD/bin/vimraicons" "$WORK/manifest.txt" "$WORK/bad" 16 2>/dev/null || status=$?
[ "$status" = 1 ] || fail "vimraicons without a pack: status $status"
[ ! -e "$WORK/bad" ] || fail "a refused vimraicons run wrote icons"

# Man pages: formatted without warnings, each naming its program.
for page in man6/vimra.6 man1/kxpack.1; do
  out=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$P/share/man/$page" 2>"$WORK/man.err" | col -b)
  [ ! -s "$WORK/man.err" ] || fail "$page: $(cat "$WORK/man.err")"
  name=$(basename "$page" | cut -d. -f1)
  grep -q "^ *$name - " <<<"$out" || fail "$page has no NAME line for $name"
done

# --- the engine for other programs -------------------------------------------
# pkg-config (from the staging root: the .pc file locates the prefix itself),
# and every public header compiling on its own with only those flags.
export PKG_CONFIG_PATH=$P/$LIBDIR/pkgconfig
cflags=$(pkg-config --cflags kxEngine) || fail "pkg-config does not know kxEngine"
libs=$(pkg-config --libs kxEngine) || fail "pkg-config has no libraries for kxEngine"
[ "$(pkg-config --modversion kxEngine)" = 1.0.0 ] || fail "kxEngine.pc has version $(pkg-config --modversion kxEngine)"
grep -q -- "-I$P/$LIBDIR/pkgconfig/[./]*include/kxEngine" <<<"$cflags" || fail "cflags do not reach include/kxEngine: $cflags"
grep -q -- "-lkxEngine" <<<"$libs" || fail "libs do not name kxEngine: $libs"
headers=0
while IFS= read -r h; do
  rel=${h#"$P/include/kxEngine/"}
  # shellcheck disable=SC2086
  echo "#include \"$rel\"" | c++ -std=c++17 -fsyntax-only $cflags -x c++ - 2>"$WORK/cc.err" ||
    fail "the installed header $rel does not compile on its own: $(head -3 "$WORK/cc.err")"
  headers=$((headers + 1))
done < <(find "$P/include/kxEngine" -name '*.h' | sort)
note "$headers installed headers compile on their own"
# They are the exported interface and no more: everything they declare is
# exported by the library, and each exports something or is included by one
# that does (the engine's internal helpers are not installed).
if python3 "$(dirname "$0")/linkable.py" "$P/include/kxEngine" "$real" >"$WORK/linkable.txt"; then
  note "$(tail -1 "$WORK/linkable.txt")"
else
  fail "installed headers promise more than the library gives: $(cat "$WORK/linkable.txt")"
fi
# A program linked through pkg-config runs against the staged library (built
# with the build's compiler, and its sanitizer runtime when the engine has one).
CXX=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$BUILD/CMakeCache.txt")
san=""
if grep -q '^KX_SANITIZE:BOOL=ON' "$BUILD/CMakeCache.txt"; then san=-fsanitize=address,undefined; fi
cat >"$WORK/crc.cpp" <<'CPP'
#include <cstdio>
#include "data/kxMemoryBlock.h"
int main() { std::printf("%08x\n", (unsigned)kxCRC32((const uint8_t*)"123456789", 9)); }
CPP
# shellcheck disable=SC2086
if "$CXX" $san -std=c++17 "$WORK/crc.cpp" -o "$WORK/crc" $cflags $libs -Wl,-rpath,"$P/$LIBDIR" 2>"$WORK/cc.err"; then
  [ "$(ASAN_OPTIONS=detect_leaks=0 "$WORK/crc")" = cbf43926 ] || fail "the pkg-config program computed $("$WORK/crc")"
else
  fail "a program does not build with the pkg-config flags: $(head -3 "$WORK/cc.err")"
fi

# --- the launcher ---------------------------------------------------------------
mkdir -p "$WORK/home" "$WORK/elsewhere"
find "$ROOT" -printf '%p %s %T@\n' | sort >"$WORK/before.txt"
run_env=(env -u XDG_DATA_HOME HOME="$WORK/home" SDL_AUDIODRIVER=dummy
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0")

(cd "$WORK/elsewhere" && exec "${run_env[@]}" "$P/bin/vimra") &
PID=$!
end=$((SECONDS + 120))
menu=0
while [ $SECONDS -lt $end ] && kill -0 "$PID" 2>/dev/null; do
  if is_green 515 300; then menu=1; break; fi
  sleep 0.5
done
[ "$menu" = 1 ] || fail "the installed game did not show its menu"
quit_with_escape 5 2
status=$QUIT_STATUS
[ "$status" = 0 ] || fail "the installed game ended with status $status"
user=$WORK/home/.local/share/vimra
size=$(stat -c %s "$user/vimraconfig.bin" 2>/dev/null || echo missing)
[ "$size" = 48 ] || fail "the per-user settings file is $size bytes, not 48"
[ -L "$user/vimradata.bin" ] && [ "$(readlink "$user/vimradata.bin")" = "$P/share/vimra/vimradata.bin" ] ||
  fail "the per-user folder does not link the installed pack"
[ -z "$(ls -A "$WORK/elsewhere")" ] || fail "the game wrote into the folder it was started from"
find "$ROOT" -printf '%p %s %T@\n' | sort >"$WORK/after.txt"
cmp -s "$WORK/before.txt" "$WORK/after.txt" || fail "the game changed the installed tree: $(diff "$WORK/before.txt" "$WORK/after.txt" | head -3)"
note "installed game ran with status $status; settings $size bytes in $user"

# XDG_DATA_HOME, when absolute, holds the per-user folder; a relative one
# is ignored. Without a display the game cannot start, but the launcher has
# made the folder and the link first, and passes the failure on.
status=0
(cd "$WORK/elsewhere" && env -u DISPLAY SDL_AUDIODRIVER=dummy HOME="$WORK/home2" XDG_DATA_HOME="$WORK/xdg" \
  "$P/bin/vimra" >/dev/null 2>&1) || status=$?
[ "$status" != 0 ] || fail "without a display the launcher reported success"
[ -L "$WORK/xdg/vimra/vimradata.bin" ] || fail "no per-user folder under XDG_DATA_HOME"
[ ! -e "$WORK/home2/.local/share/vimra" ] || fail "HOME was used although XDG_DATA_HOME was set"
[ ! -e "$WORK/xdg/vimra/vimraconfig.bin" ] || fail "a failed start wrote settings"
(cd "$WORK/elsewhere" && env -u DISPLAY SDL_AUDIODRIVER=dummy HOME="$WORK/home3" XDG_DATA_HOME=relative \
  "$P/bin/vimra" >/dev/null 2>&1) || true
[ -L "$WORK/home3/.local/share/vimra/vimradata.bin" ] || fail "a relative XDG_DATA_HOME was not ignored"
[ ! -e "$WORK/elsewhere/relative" ] || fail "a relative XDG_DATA_HOME was used"
# A pack the user put in the folder as a plain file is kept.
rm "$WORK/xdg/vimra/vimradata.bin"
echo mine >"$WORK/xdg/vimra/vimradata.bin"
(cd "$WORK/elsewhere" && env -u DISPLAY SDL_AUDIODRIVER=dummy XDG_DATA_HOME="$WORK/xdg" \
  "$P/bin/vimra" >/dev/null 2>&1) || true
[ "$(cat "$WORK/xdg/vimra/vimradata.bin")" = mine ] || fail "the launcher replaced the user's own pack file"
# Arguments reach the game unchanged: its version line, and a usage error
# with the game's own status 2.
out=$(cd "$WORK/elsewhere" && env HOME="$WORK/home" "$P/bin/vimra" --version) || fail "vimra --version failed"
[ "$out" = "vimra 1.1.209" ] || fail "vimra --version printed \"$out\""
status=0
(cd "$WORK/elsewhere" && env HOME="$WORK/home" "$P/bin/vimra" --no-such-option >/dev/null 2>&1) || status=$?
[ "$status" = 2 ] || fail "an unknown option: status $status, not 2"
# Neither HOME nor XDG_DATA_HOME: a message and status 1, nothing started.
status=0
env -i PATH=/usr/bin:/bin "$P/bin/vimra" >/dev/null 2>"$WORK/err" || status=$?
[ "$status" = 1 ] && grep -q '^vimra: .*HOME' "$WORK/err" || fail "without HOME: status $status, $(cat "$WORK/err")"

# --- uninstall by the manifest ---------------------------------------------------
[ "$(wc -l <"$WORK/manifest.txt")" -gt 50 ] || fail "the install manifest lists only $(wc -l <"$WORK/manifest.txt") files"
sed "s|^|$ROOT|" "$WORK/manifest.txt" | xargs rm -f
left=$(find "$ROOT" ! -type d)
[ -z "$left" ] || fail "files left after uninstalling: $left"
note "after uninstalling, $(find "$ROOT" -type d | wc -l) empty folders and no files remain"

# --- the Debian package ------------------------------------------------------------
if cpack -G DEB -B "$WORK/deb" --config "$BUILD/CPackConfig.cmake" >"$WORK/cpack.log" 2>&1; then
  deb=$(ls "$WORK"/deb/*.deb)
  note "built $(basename "$deb")"
  [ "$(dpkg-deb -f "$deb" Package)" = vimra ] || fail "the package is not named vimra"
  depends=$(dpkg-deb -f "$deb" Depends)
  for d in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libglew2.2 libgl1 zlib1g; do
    grep -q "\b$d\b" <<<"$depends" || fail "the package does not depend on $d ($depends)"
  done
  # Exactly the installed files, under /usr.
  dpkg-deb -c "$deb" >"$WORK/deb-listing.txt"
  awk '$1 !~ /^d/ { print $6 }' "$WORK/deb-listing.txt" | sed 's|^\./usr/||' | sort >"$WORK/deb.txt"
  sed "s|^$PREFIX/||" "$WORK/manifest.txt" | sort >"$WORK/installed.txt"
  diff "$WORK/installed.txt" "$WORK/deb.txt" >"$WORK/deb.diff" || fail "package and install differ: $(head -5 "$WORK/deb.diff")"
  grep -q ' ./usr/bin/vimra$' "$WORK/deb-listing.txt" || fail "the package has no /usr/bin/vimra"
else
  fail "cpack -G DEB failed: $(tail -5 "$WORK/cpack.log")"
fi

harness_end
