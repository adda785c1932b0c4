#!/usr/bin/env bash
# Installs everything the build and the tests need (Debian 12), and any further packages
# named as arguments. Safe to run again.
set -eu
packages=("$@" build-essential cmake pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-serialport-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n qt6-speech-dev qt6-declarative-dev
  qt6-speech-speechd-plugin libopenal-dev libsndfile1-dev libsdl2-dev
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
  xvfb xauth ffmpeg espeak-ng fonts-noto-cjk clang libclang-rt-14-dev dbus)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
