#!/usr/bin/env bash
# Installs what building and checking the Debian packages needs beyond the build's own
# dependencies (Debian 12). Safe to run again.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
exec "$root/scripts/install-deps.sh" dpkg-dev debhelper fakeroot librsvg2-bin lintian desktop-file-utils \
  appstream man-db xdotool x11-utils
