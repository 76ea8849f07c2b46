#!/usr/bin/env bash
# Regenerates the README's pictures of the game: plays one whole trick with
# the showcase driver (tests/apps/vimra/e2e.sh) on a virtual 1280x720 display
# from build/bin, and keeps three of its screenshots, scaled to 960x540 and
# stripped of time stamps, as docs/menu.png, docs/table.png, docs/reveal.png.
#
# usage: docs/screenshots.sh [BUILD_DIR]   (default: build; build it first)
set -euo pipefail
cd "$(dirname "$0")/.."

BIN=${1:-build}/bin
[ -x "$BIN/vimra" ] && [ -f "$BIN/vimradata.bin" ] || {
  echo "screenshots: no vimra and vimradata.bin in $BIN; build first (./setup.sh)" >&2
  exit 1
}
SHOTS=$(mktemp -d /tmp/vimra-shots-XXXXXX)
trap 'rm -rf "$SHOTS"' EXIT

tests/apps/vimra/e2e.sh "$BIN" "$SHOTS"
for pair in 01-menu:menu 09-table:table 11-reveal:reveal; do
  convert "$SHOTS/${pair%%:*}.png" -resize 960x540 -strip "docs/${pair##*:}.png"
  echo "screenshots: docs/${pair##*:}.png"
done
