#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs each for the given seconds (default 20) over seeds made from the demo data,
# printing per target the executions, the coverage and the findings. Exit status 1 when
# any target found something; its input is left in build-fuzz/findings/<target>/.
#
#   scripts/fuzz.sh [seconds-per-target] [target ...]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
shift || true
fuzz="$root/build-fuzz"
jobs=$(nproc)

CC=clang CXX=clang++ cmake -S "$root" -B "$fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_FUZZ=ON >/dev/null
cmake --build "$fuzz" -j "$jobs" >/dev/null

# The demo data gives the seeds and the pictures and sounds the mutated files name.
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j "$jobs" --target vantrel-demo-data >/dev/null
data="$fuzz/data"
rm -rf "$data"
"$root/build/vantrel-demo-data" --no-films "$data" >/dev/null

seeds="$fuzz/seeds"
rm -rf "$seeds"
mkdir -p "$seeds"/{train_reader,route_reader,string_reader,picture_header,wave_header,run,controller_file,gps_log}
cp "$data"/train_*.dat "$seeds/train_reader/"
cp "$data"/line_*.dat "$seeds/route_reader/"
cp "$data/vantrel.dat" "$seeds/string_reader/"
find "$data" -name '*.bmp' | head -n 20 | xargs -I{} cp {} "$seeds/picture_header/"
printf '\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x32\0\0\0\x32\x08\x02\0\0\0' >"$seeds/picture_header/seed.png"
printf '\xff\xd8\xff\xe0\0\x10JFIF\0\x01\x01\0\0\x01\0\x01\0\0\xff\xc0\0\x11\x08\0\x32\0\x64\x03' >"$seeds/picture_header/seed.jpg"
find "$data" -name '*.wav' | head -n 10 | xargs -I{} cp {} "$seeds/wave_header/"
# A whole run: the train file, a NUL byte, the route file.
{ cat "$data/train_demo.dat"; printf '\0'; cat "$data/line_demo.dat"; } >"$seeds/run/demo_run"

# A controller file of five-character codes, a NUL byte, a few frames from the port.
{ for c in P1 P2 P3 P4 P5 P6 N0 B1 B2 B3 B4 B5 B6 B7 B8 EB F0 N1 R0 K1 K3 K7; do printf '%-5s\r\n' "$c"; done
  printf '#\r\n\0P1   B3   EB   F0   K3   N0   '; } >"$seeds/controller_file/codes"
{ cat "$data/mascon.dat"; printf '\0VP01EVB03EVK03E'; } >"$seeds/controller_file/demo"

# A GPS log of a short run with a stand, a gap and a waypoint, as GPX and as NMEA.
{ printf '<?xml version="1.0"?>\n<gpx version="1.1"><wpt lat="35.0010" lon="139.0000"><name>駅</name></wpt><trk><trkseg>\n'
  for t in $(seq 0 59); do
    [ "$t" -gt 30 ] && [ "$t" -lt 40 ] && continue
    printf '<trkpt lat="35.%04d" lon="139.0000"><time>2024-05-01T10:00:%02dZ</time></trkpt>\n' $((t < 10 ? 0 : (t - 10) * 2)) "$t"
  done
  printf '</trkseg></trk></gpx>\n'; } >"$seeds/gps_log/run.gpx"
for t in $(seq 0 29); do
  for body in "GPRMC,1000$(printf %02d "$t"),A,3500.$(printf %03d $((t * 3))),N,13900.000,E,20.0,0.0,010524,,,A" \
              "GPGGA,1000$(printf %02d "$t"),3500.$(printf %03d $((t * 3))),N,13900.000,E,1,08,0.9,10.0,M,,,,"; do
    sum=0
    for ((i = 0; i < ${#body}; i++)); do sum=$((sum ^ $(printf %d "'${body:i:1}"))); done
    printf '$%s*%02X\r\n' "$body" "$sum"
  done
done >"$seeds/gps_log/run.nmea"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(train_reader route_reader string_reader picture_header wave_header run controller_file gps_log)
fi

# The harnesses write each input as a file: keep those in memory where possible.
scratch=$(mktemp -d "$( [ -w /dev/shm ] && echo /dev/shm || echo "$fuzz")/vantrel-fuzz-run.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

status=0
printf '%-16s %12s %8s %8s %s\n' target executions cov features findings
for t in "${targets[@]}"; do
  corpus="$fuzz/corpus/$t"
  findings="$fuzz/findings/$t"
  mkdir -p "$corpus" "$findings"
  log="$fuzz/logs/$t.log"
  mkdir -p "$fuzz/logs"
  set +e
  VANTREL_FUZZ_DATA="$data" TMPDIR="$scratch" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ASAN_OPTIONS=detect_leaks=1 \
    "$fuzz/fuzz/fuzz_$t" "$corpus" "$seeds/$t" -dict="$root/fuzz/vantrel.dict" \
    -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
    -artifact_prefix="$findings/" >"$log" 2>&1
  rc=$?
  set -e
  rm -rf "${scratch:?}"/*
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -n 1 | cut -d' ' -f2)
  ft=$(grep -oE 'ft: [0-9]+' "$log" | tail -n 1 | cut -d' ' -f2)
  found=$(find "$findings" -type f | wc -l)
  printf '%-16s %12s %8s %8s %s\n' "$t" "${runs:-?}" "${cov:-?}" "${ft:-?}" "$found"
  if [ "$rc" -ne 0 ] || [ "$found" -ne 0 ]; then
    status=1
    echo "  $t: exit $rc, see $log" >&2
    grep -m 5 -E 'ERROR|runtime error|fuzz check failed' "$log" | sed 's/^/  /' >&2 || true
  fi
done
exit $status
