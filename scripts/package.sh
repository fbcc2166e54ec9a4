#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a release build, checks it with lintian (no errors allowed),
# installs it with apt-get, runs the installed orvane-render on a small deck and orvane
# --version, checks the installed files, and removes the package again.
#   bash scripts/package.sh [BUILD-DIR]
# A machine that has orvane installed already keeps it: the package is then built and checked
# but not installed over it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"

version=$(sed -n 's/^project(Orvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=$build/orvane_${version}_amd64.deb
rm -f "$deb"
(cd "$build" && cpack -G DEB >/dev/null)
[ -f "$deb" ] || { echo "package: cpack wrote no $deb" >&2; exit 1; }
echo "package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"
dpkg-deb --field "$deb" Depends

lintian --fail-on error "$deb"

if dpkg-query -W -f='${Status}' orvane 2>/dev/null | grep -q "install ok installed"; then
    echo "package: orvane is installed on this machine already; not installing over it"
    exit 0
fi

work=$(mktemp -d)
cleanup() {
    $sudo_cmd apt-get remove -y -qq orvane >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "$deb" >/dev/null

fail() { echo "package: FAIL: $*" >&2; exit 1; }
for file in /usr/bin/orvane /usr/bin/orvane-render /usr/lib/orvane/libImageUtils.so \
    /usr/lib/orvane/gfx /usr/share/applications/orvane.desktop \
    /usr/share/icons/hicolor/32x32/apps/orvane.png /usr/share/mime/packages/orvane-card.xml \
    /usr/share/thumbnailers/orvane.thumbnailer /usr/share/man/man1/orvane.1.gz \
    /usr/share/man/man1/orvane-render.1.gz /usr/share/metainfo/org.orvane.Orvane.metainfo.xml \
    /usr/share/doc/orvane/copyright; do
    [ -e "$file" ] || fail "$file is not installed"
done

# The installed programs, away from the build tree, with no display.
printf 'name,up,left,right,down,element,arrows\nKnight,7,A,A,A,Holy,up right\n' >"$work/deck.csv"
(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY XDG_CACHE_HOME="$work/cache" \
    /usr/bin/orvane-render deck.csv --out cards --quiet) || fail "orvane-render failed"
[ -s "$work/cards/Knight-blue.png" ] && [ -s "$work/cards/Knight-red.png" ] ||
    fail "orvane-render wrote no cards"
said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM /usr/bin/orvane --version)
[ "$said" = "Orvane $version" ] || fail "orvane --version said: $said"
echo "package: installed, ran orvane-render and orvane --version ($said), removed"
