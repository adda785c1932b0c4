#!/usr/bin/env bash
# Regenerates the window screenshots in docs/ (title, driving window before the start and
# at speed, value display) under a virtual X server, on the demo data set.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="${BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" -j2 --target vantrel-screenshots vantrel-demo-data
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
"$build/vantrel-demo-data" "$data"
mkdir -p "$root/docs"
xvfb-run -a -s "-screen 0 1024x768x24" "$build/vantrel-screenshots" "$root/docs" "$data"
