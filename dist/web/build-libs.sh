#!/usr/bin/env bash
# Builds static WebAssembly copies of SDL2, SDL2_mixer (Ogg through its own
# stb_vorbis) and zlib from Debian's source packages, into a cache outside the
# clone that later builds reuse. Prints the cache's prefix on stdout.
#
# The prefix is named after the emscripten and source versions, so a new
# toolchain or library version builds afresh. Each library is built in a
# scratch folder and installed under a temporary prefix that is renamed into
# place only when all three are done: an interrupted build leaves no half
# prefix behind, and the next run starts that library again.
set -euo pipefail

CACHE_ROOT=${KX_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kxengine-web}
JOBS=${KX_WEB_JOBS:-$(nproc)}

log() { echo "build-libs: $*" >&2; }

src_version() {  # the version apt-get source would fetch, without the epoch
  apt-cache showsrc "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -V | tail -1 | sed 's/^[0-9]*://'
}

have_deb_src() {
  grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/
}

SUDO=()
if [ "$(id -u)" -ne 0 ]; then SUDO=(sudo); fi

if ! have_deb_src || [ -z "$(src_version libsdl2)" ]; then
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  log "adding a deb-src line for $codename"
  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$codename" "$codename" | "${SUDO[@]}" tee /etc/apt/sources.list.d/kxengine-web-src.sources >/dev/null
  "${SUDO[@]}" apt-get -o DPkg::Lock::Timeout=900 update >&2
fi

EMVER=$(emcc --version | sed -n '1s/.* \([0-9][0-9.]*\) .*/\1/p')
SDL_V=$(src_version libsdl2)
MIX_V=$(src_version libsdl2-mixer)
ZLIB_V=$(src_version zlib)
if [ -z "$EMVER" ] || [ -z "$SDL_V" ] || [ -z "$MIX_V" ] || [ -z "$ZLIB_V" ]; then
  log "cannot tell the versions (emscripten '$EMVER', SDL2 '$SDL_V', SDL2_mixer '$MIX_V', zlib '$ZLIB_V')"
  exit 1
fi
PREFIX="$CACHE_ROOT/em$EMVER-sdl$SDL_V-mixer$MIX_V-zlib$ZLIB_V"
if [ -f "$PREFIX/.complete" ]; then
  echo "$PREFIX"
  exit 0
fi

mkdir -p "$CACHE_ROOT"
# What a killed earlier run left behind (its process is gone) goes first.
for old in "$CACHE_ROOT"/work.* "$CACHE_ROOT"/*.partial.*; do
  [ -e "$old" ] || continue
  kill -0 "${old##*.}" 2>/dev/null || rm -rf "$old"
done
WORK="$CACHE_ROOT/work.$$"
STAGE="$PREFIX.partial.$$"
rm -rf "$WORK" "$STAGE"
mkdir -p "$WORK" "$STAGE"
trap 'rm -rf "$WORK" "$STAGE"' EXIT

fetch() {  # fetch <source package>: unpacks it into $WORK and prints its folder
  (cd "$WORK" && apt-get source --download-only "$1" >&2 && dpkg-source --no-check -x ./"$1"_*.dsc "src-$1" >&2)
  echo "$WORK/src-$1"
}

export NODE_PATH=/usr/share/nodejs
# emcmake's default emulator passes a flag the installed node rejects.
EMU=(-DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node)")

log "zlib $ZLIB_V"
# Its CMake build wants a file Debian's source leaves out; its configure works.
src=$(fetch zlib)
(cd "$src" && CFLAGS=-O2 emconfigure ./configure --static >&2 && emmake make -j"$JOBS" libz.a >&2)
mkdir -p "$STAGE/lib" "$STAGE/include"
cp "$src/libz.a" "$STAGE/lib/"
cp "$src/zlib.h" "$src/zconf.h" "$STAGE/include/"

log "SDL2 $SDL_V"
src=$(fetch libsdl2)
emcmake cmake -S "$src" -B "$WORK/sdl2-build" "${EMU[@]}" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$STAGE" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF >&2
cmake --build "$WORK/sdl2-build" -j"$JOBS" >&2
cmake --install "$WORK/sdl2-build" >&2

log "SDL2_mixer $MIX_V"
src=$(fetch libsdl2-mixer)
emcmake cmake -S "$src" -B "$WORK/mixer-build" "${EMU[@]}" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$STAGE" -DCMAKE_PREFIX_PATH="$STAGE" -DCMAKE_FIND_ROOT_PATH="$STAGE" \
  -DBUILD_SHARED_LIBS=OFF -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_VENDORED=OFF \
  -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MIDI=OFF \
  -DSDL2MIXER_MP3=OFF -DSDL2MIXER_WAVPACK=OFF -DSDL2MIXER_CMD=OFF \
  -DSDL2MIXER_VORBIS=STB -DSDL2MIXER_WAVE=ON >&2
cmake --build "$WORK/mixer-build" -j"$JOBS" >&2
cmake --install "$WORK/mixer-build" >&2

for lib in libz.a libSDL2.a libSDL2_mixer.a; do
  [ -f "$STAGE/lib/$lib" ] || { log "missing $lib after the build"; exit 1; }
done
touch "$STAGE/.complete"
# A run beside this one may have finished first; its prefix is as good.
if [ ! -f "$PREFIX/.complete" ]; then
  rm -rf "$PREFIX"
  mv "$STAGE" "$PREFIX"
fi
log "done: $PREFIX"
echo "$PREFIX"
