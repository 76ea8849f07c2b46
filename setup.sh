#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing), then
# configures and builds the normal build in build/. Safe to run again.
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
  cmake make g++ clang pkg-config
  libgtest-dev libbenchmark-dev zlib1g-dev
  libsdl2-dev libsdl2-mixer-dev libglew-dev libgl-dev libgles-dev
  libfreetype-dev libvorbis-dev libogg-dev fonts-dejavu-core
  xvfb xauth xdotool imagemagick
  desktop-file-utils dpkg-dev man-db bsdextrautils
  debhelper lintian doxygen graphviz mmdebstrap
  chromium nodejs
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  SUDO=()
  if [ "$(id -u)" -ne 0 ]; then SUDO=(sudo); fi
  "${SUDO[@]}" apt-get update
  "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKX_BUILD_BENCH=ON
cmake --build build -j"$(nproc)"
