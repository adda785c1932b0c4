#!/usr/bin/env bash
# Installs the dependencies, builds Vantrel, writes the demo data set into the build tree
# and opens the title window on it. Without a display it drives the demo run headless
# with vantrel-sim instead and prints a run summary.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build" -j "$(nproc)" --target vantrel vantrel-sim vantrel-demo-data
demo="$root/build/demo"
"$root/build/vantrel-demo-data" "$demo"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  if [ -d "$demo/image/title" ]; then
    exec "$root/build/vantrel" --data-dir "$demo" "$@"
  fi
  # A data set without title pictures: straight to the driving window.
  exec "$root/build/vantrel" --data-dir "$demo" --train train_demo.dat --route line_demo.dat "$@"
fi
echo "run.sh: no display (DISPLAY and WAYLAND_DISPLAY are unset): driving the demo run headless instead"
exec "$root/build/vantrel-sim" --data-dir "$demo" --train train_demo.dat --route line_demo.dat \
  --strings vantrel.dat --frames 10500 --script "$demo/demo_run.txt" --seconds 240 \
  --trace "$demo/demo_trace.csv" --events "$demo/demo_events.csv" --view "$demo/demo_view.jsonl"
