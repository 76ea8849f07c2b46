#!/usr/bin/env bash
# Sets up, builds the normal and the sanitizer configuration, and runs every
# test of both under a virtual display. The sanitizer build uses clang when it
# is present and then also runs each fuzz target for a short time.
set -euo pipefail
cd "$(dirname "$0")"

./setup.sh
# The browser build, which the suite's vimraWeb test plays in headless
# Chromium; its WebAssembly libraries are built once and kept outside the tree
# (~/.cache/kxengine-web).
dist/web/build.sh

SAN_ARGS=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKX_SANITIZE=ON -DKX_BUILD_BENCH=OFF)
if command -v clang++ >/dev/null 2>&1; then
  SAN_ARGS+=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DKX_BUILD_FUZZ=ON)
fi
# The sanitizer build reuses the resource pack the normal build made.
SAN_ARGS+=(-DKX_PREBUILT_PACK="$PWD/build/bin/vimradata.bin")
cmake -S . -B build-asan "${SAN_ARGS[@]}"
cmake --build build-asan -j"$(nproc)"

# -noreset: Xvfb otherwise resets each time its last client leaves, and a test
# connecting during the reset fails. Test scripts that start a display of
# their own give xvfb-run distinct starting numbers (-n), so that two of them
# started at once by parallel ctest do not pick the same free display.
run_tests() {
  echo "== tests: $1"
  xvfb-run -a -s "-screen 0 1280x720x24 -noreset" \
    ctest --test-dir "$1" --output-on-failure -j"$(nproc)" --timeout 1500
}

run_tests build
run_tests build-asan
