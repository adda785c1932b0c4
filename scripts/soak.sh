#!/usr/bin/env bash
# Soak (a measurement, not a test): drives the demo train on the demo route with
# vantrel-sim for 1 and for 24 virtual hours, lap after lap with a jump back to the first
# station, and prints the wall time and the peak memory of each. A run that holds no
# growing state has the same peak after 24 hours as after one; the script fails when
# the two differ by more than 1 MB.
#
#   scripts/soak.sh [hours]     (default 24)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
hours=${1:-24}
build="$root/build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target vantrel-sim vantrel-demo-data >/dev/null

work="$build/soak"
rm -rf "$work"
"$build/vantrel-demo-data" "$work/data"

# One lap every 200 s: the demo run's driving from the first station to the next
# (release, power, coast, horn for the vigilance device, brake), then a jump back.
lap_ms=200000
awk -v laps=$((hours * 3600000 / lap_ms + 1)) -v lap="$lap_ms" 'BEGIN {
  print "1000 start"
  for (i = 0; i < laps; i++) {
    t = 1000 + i * lap
    if (i > 0) print t, "station 0"
    print t + 1000, "key 5"
    for (k = 0; k < 4; k++) print t + 27000 + 300 * k, "key z"
    for (k = 0; k < 4; k++) print t + 59000 + 100 * k, "key a"
    print t + 89000, "key 3"
    print t + 140000, "key 3"
    for (k = 0; k < 4; k++) print t + 152000 + 100 * k, "key a"
    print t + 190000, "key 3"
  }
}' >"$work/laps.txt"

# Runs the soak for the given virtual seconds; prints "wall_s peak_kb summary".
soak() {
  /usr/bin/time -f '%e %M' -o "$work/time.txt" \
    "$build/vantrel-sim" --data-dir "$work/data" --train train_demo.dat --route line_demo.dat \
    --strings vantrel.dat --frames 10500 --script "$work/laps.txt" --seconds "$1" \
    --trace /dev/null --events /dev/null >"$work/summary.txt"
  echo "$(cat "$work/time.txt") $(cat "$work/summary.txt")"
}

read -r wall1 peak1 summary1 < <(soak 3600)
read -r wall24 peak24 summary24 < <(soak $((hours * 3600)))
printf '%-10s %10s %14s  %s\n' virtual wall_s peak_rss_kb summary
printf '%-10s %10s %14s  %s\n' 1h "$wall1" "$peak1" "$summary1"
printf '%-10s %10s %14s  %s\n' "${hours}h" "$wall24" "$peak24" "$summary24"
diff_kb=$((peak24 - peak1))
echo "peak difference: ${diff_kb} kB"
[ "${diff_kb#-}" -le 1024 ]
