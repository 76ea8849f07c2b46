#!/usr/bin/env bash
# Builds vimra for web browsers: one folder that any static web server can
# serve (index.html, vimraPage.js, vimra.js, vimra.wasm, vimradata.bin).
#
# usage: dist/web/build.sh [SITE_DIR]
#   SITE_DIR  where the folder is written (default: build-web/site)
# Environment:
#   KX_WEB_PACK       the pack to serve (default: build/bin/vimradata.bin, made
#                     by the native build, e.g. ./setup.sh)
#   KX_WEB_BUILD_DIR  the emscripten build tree (default: build-web)
#   KX_WEB_CACHE      where the WebAssembly libraries are kept between builds
#                     (default: ~/.cache/kxengine-web)
#
# It installs Debian's emscripten, binaryen and node-acorn when missing,
# builds SDL2, SDL2_mixer and zlib for WebAssembly from Debian's source
# packages once (build-libs.sh; reused afterwards), then builds the engine
# and the game with the emscripten toolchain.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${KX_WEB_BUILD_DIR:-$ROOT/build-web}
SITE=${1:-$BUILD/site}
PACK=${KX_WEB_PACK:-$ROOT/build/bin/vimradata.bin}

PACKAGES=(emscripten binaryen node-acorn nodejs dpkg-dev cmake make)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "web: installing ${missing[*]}"
  SUDO=()
  if [ "$(id -u)" -ne 0 ]; then SUDO=(sudo); fi
  "${SUDO[@]}" apt-get -o DPkg::Lock::Timeout=900 update
  "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y \
    --no-install-recommends "${missing[@]}"
fi

if [ ! -f "$PACK" ]; then
  echo "web: no pack at $PACK; build the native program first (./setup.sh)" >&2
  exit 1
fi
PACK=$(cd "$(dirname "$PACK")" && pwd)/$(basename "$PACK")
mkdir -p "$SITE"
SITE=$(cd "$SITE" && pwd)

start=$SECONDS
PREFIX=$("$ROOT/dist/web/build-libs.sh")
echo "web: libraries in $PREFIX ($((SECONDS - start)) s)"

# emscripten's optimiser needs acorn, which Debian keeps outside its path;
# emcmake's default emulator passes node a flag node 20 refuses.
export NODE_PATH=/usr/share/nodejs
start=$SECONDS
emcmake cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node)" \
  -DKX_RENDER_FIXED=OFF -DKX_RENDER_ES2=ON \
  -DKX_WEB_PREFIX="$PREFIX" -DKX_WEB_PACK="$PACK" -DKX_WEB_SITE_DIR="$SITE" >/dev/null
cmake --build "$BUILD" -j"${KX_WEB_JOBS:-$(nproc)}"
echo "web: site in $SITE ($((SECONDS - start)) s)"
