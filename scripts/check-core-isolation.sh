#!/usr/bin/env bash
# Fails when a logic source includes a GUI, audio, video or device header.
set -eu
root=${1:-.}
cd "$root"
bad=$(grep -rlE '#include *[<"](Q[A-Za-z]+|Qt[A-Za-z]*/|AL/|SDL|libav|libsw|sndfile)' \
        src/common src/app src/cab src/controllers src/dynamics src/input src/route src/sound src/speech 2>/dev/null \
      | grep -vE '_window\.(cpp|hpp)$|/main\.cpp$' || true)
if [ -n "$bad" ]; then
  echo "logic sources include device headers:"; echo "$bad"; exit 1
fi
echo "logic sources are free of GUI, audio, video and device headers"
