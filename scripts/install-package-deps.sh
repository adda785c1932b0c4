#!/usr/bin/env bash
# Installs what building and checking the Debian packages needs beyond the build's own
# dependencies (Debian 12). Safe to run again.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
packages=(dpkg-dev debhelper fakeroot librsvg2-bin espeak-ng fonts-noto-cjk
  lintian desktop-file-utils appstream man-db xvfb xauth xdotool x11-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "install-package-deps: all packages present"
  exit 0
fi
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
