#!/usr/bin/env bash
# Sets up and builds the project, then plays vimra full screen from build/bin.
# Without a display it plays a self-running demonstration on a virtual one
# instead: one whole trick, sound written to a file, a screenshot of every
# stage in build/showcase/.
set -euo pipefail
cd "$(dirname "$0")"

./setup.sh

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "play: no display (\$DISPLAY and \$WAYLAND_DISPLAY are unset); running a self-running demonstration on a virtual display instead"
  mkdir -p build/showcase
  tests/apps/vimra/e2e.sh build/bin build/showcase
  echo "play: the screenshots of the demonstration are in $PWD/build/showcase/"
  exit 0
fi

cd build/bin
exec ./vimra
