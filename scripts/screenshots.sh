#!/usr/bin/env bash
# Regenerates the window screenshots in docs/ (title, driving window before the start and
# at speed, value display) under a virtual X server, on the demo pack in build/demo (the
# pack is written once and reused, as run.sh does).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="${BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" -j2 --target vantrel-screenshots vantrel-demo-data
"$build/vantrel-demo-data" "$build/demo"
mkdir -p "$root/docs"
SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 1024x768x24" \
  "$build/vantrel-screenshots" "$root/docs" "$build/demo" train_785.dat line_exp.dat
