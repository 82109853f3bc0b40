#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds a copy of the tree as a Debian packager would: a minimal debian/ folder of our own
# making (packaging belongs to the distribution, so the project keeps none), then
# dpkg-buildpackage, which configures with debhelper's flags and prefix, builds, runs every
# test with no display and installs with DESTDIR. The package must hold every file in its
# place and satisfy lintian. Warnings fail this build (a distribution's own would not set
# KELVO_WERROR): the tree compiles without one under the distribution's flags.
# Usage: debhelper_build.sh
set -euo pipefail
source_tree=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL (debhelper build): $*" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
version=$(dpkg-parsechangelog -l "$source_tree/data/changelog" -S Version)
copy="$work/kelvo-snake-$version"
mkdir -p "$copy/debian/source"
# The files of the project (committed or about to be), not its build folders.
(cd "$source_tree" && git ls-files -z --cached --others --exclude-standard |
    xargs -0 cp --parents -t "$copy")

cd "$copy/debian"
echo "3.0 (native)" >source/format
cp ../data/changelog changelog
cp ../data/copyright copyright
cat >control <<'CONTROL'
Source: kelvo-snake
Section: games
Priority: optional
Maintainer: The Kelvo Snake developers <maintainers@kelvo-snake.invalid>
Build-Depends: debhelper-compat (= 13), cmake, ninja-build, pkg-config, qt6-base-dev,
 libgl-dev, libsdl2-dev, libpulse-dev, libx11-dev <!nocheck>,
 xvfb <!nocheck>, xdotool <!nocheck>, x11-utils <!nocheck>, imagemagick <!nocheck>,
 strace <!nocheck>, openbox <!nocheck>, weston <!nocheck>, qt6-wayland <!nocheck>,
 desktop-file-utils <!nocheck>, appstream <!nocheck>, lintian <!nocheck>,
 librsvg2-bin <!nocheck>, pulseaudio <!nocheck>, pulseaudio-utils <!nocheck>,
 dpkg-dev <!nocheck>, file <!nocheck>, fonts-dejavu-core <!nocheck>, dbus-daemon <!nocheck>,
 at-spi2-core <!nocheck>, python3-pyatspi <!nocheck>
Standards-Version: 4.6.2
Rules-Requires-Root: no

Package: kelvo-snake
Architecture: any
Depends: ${shlibs:Depends}, ${misc:Depends}
Recommends: qt6-wayland
Description: snake game: steer a growing snake to the apples
 A single-player snake game for the desktop. Pick a screen size, a level
 and the colours of the snake and the walls, then steer a snake of square
 blocks around a walled field with the arrow keys. Every apple makes it one
 block longer; a wall or the snake's own body ends the game. The best score
 is kept.
CONTROL
cat >rules <<'RULES'
#!/usr/bin/make -f
export DEB_BUILD_MAINT_OPTIONS = hardening=+all

%:
	dh $@ --buildsystem=cmake+ninja

override_dh_auto_configure:
	dh_auto_configure -- -DCMAKE_INSTALL_BINDIR=games -DCMAKE_INSTALL_DATADIR=share/games \
	    -DKELVO_WERROR=ON -DBUILD_TESTING=$(if $(filter nocheck,$(DEB_BUILD_OPTIONS)),OFF,ON)
RULES
chmod +x rules

cd "$copy"
echo "== dpkg-buildpackage in $copy"
env -u DISPLAY -u WAYLAND_DISPLAY DEB_BUILD_OPTIONS="parallel=$(nproc)" \
    dpkg-buildpackage -us -uc -b >"$work/build.log" 2>&1 || {
    tail -n 60 "$work/build.log" >&2
    fail "dpkg-buildpackage failed"
}
grep -E "tests passed|Test #" "$work/build.log" | tail -n 3

deb="$work/kelvo-snake_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no package: $(ls "$work")"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libsdl2-2.0-0; do
    grep -q "$library" <<<"$depends" || fail "Depends has no $library: $depends"
done
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in games/kelvo-snake share/games/kelvo-snake/bck.wav \
    share/applications/io.github.kelvo.Snake.desktop \
    share/metainfo/io.github.kelvo.Snake.metainfo.xml share/man/man6/kelvo-snake.6.gz \
    share/doc/kelvo-snake/copyright share/doc/kelvo-snake/changelog.gz \
    share/icons/hicolor/16x16/apps/io.github.kelvo.Snake.png \
    share/icons/hicolor/scalable/apps/io.github.kelvo.Snake.svg; do
    grep -qx "./usr/$file" <<<"$contents" || fail "the package lacks /usr/$file"
done
said=$(lintian -EI --pedantic "$deb" 2>&1 | grep -E '^[A-Z]: ' || true)
echo "lintian -EI --pedantic: ${said:-nothing}"
complaints=$(grep -E '^[EW]: ' <<<"$said" || true)
[ -z "$complaints" ] || fail "lintian: $complaints"
# A nocheck build (the nocheck profile drops the tests' build dependencies) builds nothing of
# the tests.
echo "== dpkg-buildpackage with nocheck"
env -u DISPLAY -u WAYLAND_DISPLAY DEB_BUILD_OPTIONS="nocheck parallel=$(nproc)" \
    DEB_BUILD_PROFILES=nocheck dpkg-buildpackage -us -uc -b >"$work/nocheck.log" 2>&1 || {
    tail -n 60 "$work/nocheck.log" >&2
    fail "dpkg-buildpackage with nocheck failed"
}
! grep -E "Building CXX object tests/|X11" "$work/nocheck.log" ||
    fail "a nocheck build built or looked for what only the tests need"
echo "PASS (debhelper build)"
