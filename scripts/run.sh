#!/usr/bin/env bash
# Installs the dependencies, builds Vantrel, writes the demo data set into the build
# tree and drives the demo run headless with vantrel-sim, printing a run summary.
# (The driving window arrives with the windows; until then this is the program's main job.)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build" -j "$(nproc)" --target vantrel-sim vantrel-demo-data
demo="$root/build/demo"
"$root/build/vantrel-demo-data" "$demo"
exec "$root/build/vantrel-sim" --data-dir "$demo" --train train_demo.dat --route line_demo.dat \
  --strings vantrel.dat --frames 10500 --script "$demo/demo_run.txt" --seconds 240 \
  --trace "$demo/demo_trace.csv" --events "$demo/demo_events.csv" --view "$demo/demo_view.jsonl" "$@"
