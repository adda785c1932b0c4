#!/usr/bin/env bash
# Installs the dependencies, builds Vantrel, writes the demo data set into the build tree
# and opens the title window on it. Without a display the careful driver drives the demo's
# express headless with vantrel-sim instead and prints the run report.
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
echo "run.sh: no display (DISPLAY and WAYLAND_DISPLAY are unset): the careful driver drives the express on 桜川線 headless instead"
# The express (train_785.dat on line_exp.dat), driven by the careful driver over the
# film's own length; its inputs are kept as a script that replays the same drive.
"$root/build/vantrel-sim" --data-dir "$demo" --train train_785.dat --route line_exp.dat \
  --strings vantrel.dat --video --drive "$demo/express_drive.txt" \
  --report "$demo/express_report.txt" --report "$demo/express_report.html" \
  --report "$demo/express_report.json" --trace "$demo/demo_trace.csv" \
  --events "$demo/demo_events.csv" --view "$demo/demo_view.jsonl"
echo
cat "$demo/express_report.txt"
echo "(the same report as a page and as JSON: $demo/express_report.html, $demo/express_report.json)"
