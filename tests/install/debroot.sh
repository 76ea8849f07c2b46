#!/usr/bin/env bash
# The packages in a throwaway Debian root, the way Debian tests packages:
# mmdebstrap makes a minimal bookworm root holding the packages' dependencies
# and the test's tools; inside it, as root, the four packages are installed
# with apt, the library is found by ldconfig, a user starts the game from
# the desktop entry's Exec line under Xvfb and sees its menu, a program built
# against libkxengine-dev (examples/card, through the installed CMake
# package) runs, and after a purge of the four packages no file differs from
# before the install. The root is thrown away at the end. Needs Debian's
# archive; takes minutes.
#
# usage: debroot.sh PACKAGES_DIR SOURCE_DIR
#   PACKAGES_DIR holds the .deb files (debian.sh calls it with its own).
set -euo pipefail

DEBS=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
WORK=$(mktemp -d /tmp/kx-debroot-XXXXXX)
trap 'rm -rf "$WORK"' EXIT

mkdir "$WORK/in"
cp "$DEBS"/libkxengine1_*.deb "$DEBS"/libkxengine-dev_*.deb "$DEBS"/vimra_*.deb "$DEBS"/vimra-data_*.deb "$WORK/in/"
# The card example with the folder of the main() the examples share, in the
# tree's layout (its CMakeLists.txt finds that folder beside its own).
mkdir "$WORK/in/examples"
cp -r "$SOURCE/examples/card" "$SOURCE/examples/common" "$WORK/in/examples/"
# The packages' dependencies (not the packages themselves) go into the root
# first, so that the purge can be compared with the root before the install.
deps=$(for d in "$WORK"/in/*.deb; do dpkg-deb -f "$d" Depends; done | tr ',' '\n' |
  sed 's/(.*)//; s/|.*//; s/ //g' | grep -vE '^(libkxengine1|libkxengine-dev|vimra|vimra-data)$' | sort -u |
  grep . | tr '\n' ',')
tools=xvfb,xauth,xdotool,imagemagick,libgl1-mesa-dri,cmake,g++,make,pkgconf,passwd

cat >"$WORK/in/inside.sh" <<'INSIDE'
set -eu
export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8
snapshot() {  # every path outside the kernel's, apt's and dpkg's own records
  find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /tmp -o -path /run \
    -o -path /var/lib/apt -o -path /var/cache -o -path /var/log -o -path /var/lib/dpkg \
    -o -path /home \) -prune -o -print | sort
}
useradd -m player
snapshot >/tmp/before.txt
apt-get install -y --no-install-recommends /tmp/in/*.deb >/tmp/apt.log 2>&1 || { tail -20 /tmp/apt.log; exit 1; }
ldconfig -p | grep -qE "libkxEngine.so.1 .*=> (/usr)?/lib/$(gcc -print-multiarch)/libkxEngine.so.1\$" ||
  { echo "debroot: FAIL: ldconfig does not list libkxEngine.so.1 in the multiarch folder"; exit 1; }
# The desktop entry's command, as a user's session runs it (with /usr/games
# on the PATH, as Debian's login shells have it).
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/vimra.desktop)
cat >/tmp/play.sh <<PLAY
set -u
export PATH=/usr/local/bin:/usr/bin:/bin:/usr/games SDL_AUDIODRIVER=dummy
$exec_line &
pid=\$!
menu=0
for i in \$(seq 1 240); do
  rgb=\$(import -window root -crop 1x1+515+300 txt:- 2>/dev/null | tail -1 | sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\)[,)].*/\1 \2 \3/p')
  set -- \$rgb
  if [ \$# = 3 ] && [ "\$2" -gt \$((\$1 + 30)) ] && [ "\$2" -gt "\$3" ]; then menu=1; break; fi
  sleep 0.5
done
for i in 1 2 3 4 5; do kill -0 \$pid 2>/dev/null || break; xdotool key Escape; sleep 2; done
status=0
wait \$pid || status=\$?
[ \$menu = 1 ] || { echo "debroot: FAIL: the game did not show its menu"; exit 1; }
[ \$status = 0 ] || { echo "debroot: FAIL: the game ended with status \$status"; exit 1; }
[ "\$(stat -c %s ~/.local/share/vimra/vimraconfig.bin)" = 48 ] || { echo "debroot: FAIL: no settings"; exit 1; }
# A program built against the development package.
cmake -S /tmp/in/examples/card -B /tmp/card-\$USER >/dev/null && cmake --build /tmp/card-\$USER >/dev/null ||
  { echo "debroot: FAIL: examples/card does not build against libkxengine-dev"; exit 1; }
/tmp/card-\$USER/kxcard /usr/share/games/vimra/vimradata.bin --frames 30 ||
  { echo "debroot: FAIL: examples/card did not run"; exit 1; }
echo "debroot: the game showed its menu from \"$exec_line\" and examples/card ran"
PLAY
chmod 755 /tmp/play.sh
su player -c 'cd && xvfb-run -a -s "-screen 0 1280x720x24 -noreset" sh /tmp/play.sh'
apt-get purge -y vimra vimra-data libkxengine-dev libkxengine1 >/tmp/purge.log 2>&1 || { tail -20 /tmp/purge.log; exit 1; }
snapshot >/tmp/after.txt
if ! diff /tmp/before.txt /tmp/after.txt >/tmp/left.txt; then
  echo "debroot: FAIL: the purge left the root different:"; head -20 /tmp/left.txt | sed 's/^/debroot:   /'; exit 1
fi
echo "debroot: purged; nothing left"
INSIDE

start=$SECONDS
# The root lives only for this command; its hooks run inside it with /proc,
# /sys and /dev mounted.
mmdebstrap --mode=root --variant=apt --include="${deps}$tools" \
  --customize-hook="copy-in $WORK/in /tmp" \
  --customize-hook='chroot "$1" sh /tmp/in/inside.sh' \
  bookworm /dev/null >"$WORK/mmdebstrap.log" 2>&1 || {
  grep -E 'debroot:|E:|error' "$WORK/mmdebstrap.log" | tail -25
  echo "debroot: FAIL after $((SECONDS - start)) s"
  exit 1
}
grep 'debroot:' "$WORK/mmdebstrap.log"
echo "debroot: all checks passed in $((SECONDS - start)) s"
