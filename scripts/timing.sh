#!/usr/bin/env bash
# Drives a run in the driving window under a virtual X server for DRIVE seconds (default
# 180) at SPEED (default 1: a multiple of the filming speed such as 0.25 or 4; "-10kmh" a
# constant speed, negative reversing; "jumps" every station in turn), ZOOM (default 1) and
# MIX (blend, the default; whole, sharp, or blur: blend and motion blur), and reports the
# tick period (mean, p99 lateness, drift), the frames drawn (per second, gaps) and the CPU
# share standing, driving and paused, beside ffplay playing the same video for as long, at the
# size the window draws it.
# DATA (default build/demo), TRAIN and ROUTE choose another data set; VIDEO the file ffplay plays.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="${BUILD_DIR:-$root/build}"
drive="${1:-180}"
speed="${2:-1}"
zoom="${3:-1}"
mix="${4:-blend}"
cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" -j2 --target vantrel-timing vantrel-demo-data
data="${DATA:-$build/demo}"
[ -n "${DATA:-}" ] || "$build/vantrel-demo-data" "$data"
train="${TRAIN:-train_785.dat}"
route="${ROUTE:-line_exp.dat}"
log=$(mktemp)
export SDL_AUDIODRIVER=dummy
out=$(mktemp)
trap 'rm -f "$log" "$out"' EXIT
xvfb-run -a -s "-screen 0 1920x1080x24" "$build/vantrel-timing" "$data" "$train" "$route" "$drive" "$log" "$speed" "$zoom" "$mix" | tee "$out"
# ffplay shows the film at the size the window draws it.
drawn=$(sed -n 's/^film_drawn \([0-9]*\)x\([0-9]*\)$/\1 \2/p' "$out")
python3 - "$log" <<'PY'
import sys
rows = [l.strip().split(",") for l in open(sys.argv[1]).readlines()[1:]]
ticks = [(int(r[1]), float(r[2])) for r in rows if r[0] == "tick"]
# Frame lines: frame,<n>,<wall_ms>,<neighbour>,<weight>.
frames = [(int(r[1]), float(r[2]), int(r[3]), float(r[4])) for r in rows if r[0] == "frame"]
# The driving phase only: the ticks of the longest run without a pause.
runs, cur = [], [ticks[0]]
for a, b in zip(ticks, ticks[1:]):
    if b[0] - a[0] == 33: cur.append(b)
    else: runs.append(cur); cur = [b]
runs.append(cur)
t = max(runs, key=len)
late = sorted(w - d for d, w in t)
n = len(t)
period = (t[-1][1] - t[0][1]) / (n - 1)
p99 = late[min(n - 1, int(n * 0.99))]
drift = (t[-1][1] - t[-1][0]) - (t[0][1] - t[0][0])
print(f"ticks {n}  mean period {period:.4f} ms  mean lateness {sum(late)/n:.3f} ms  p99 lateness {p99:.3f} ms  max {late[-1]:.3f} ms  drift {drift:.3f} ms")
# Frames drawn while driving (the first second left out: the train gets up to speed).
start, end = t[0][1] + 1000, t[-1][1]
drawn = [x for x in frames if start <= x[1] <= end]
f = [x[1] for x in drawn]
if len(f) > 1:
    gaps = sorted(b - a for a, b in zip(f, f[1:]))
    fps = (len(f) - 1) / ((f[-1] - f[0]) / 1000)
    print(f"frames {len(f)}  per second {fps:.2f}  gap median {gaps[len(gaps)//2]:.1f} ms  p99 {gaps[min(len(gaps)-1, int(len(gaps)*0.99))]:.1f} ms"
          f"  max {gaps[-1]:.1f} ms  over 45 ms {sum(g > 45 for g in gaps)}  over 100 ms {sum(g > 100 for g in gaps)}")
    # Slow runs (reversing): how many of the frames passed were drawn.
    idx = [x[0] for x in drawn]
    print(f"frames passed {abs(idx[-1] - idx[0]) + 1}  of them drawn {len(set(idx))}")
    # Pictures unlike the one before (a mix counts as its own), and how many were mixes.
    distinct = 1 + sum(a[0] != b[0] or a[2:] != b[2:] for a, b in zip(drawn, drawn[1:]))
    mixed = sum(x[3] > 0 for x in drawn)
    print(f"distinct pictures per second {(distinct - 1) / ((f[-1] - f[0]) / 1000):.2f}  mixed {mixed} of {len(drawn)}")
else:
    print("frames: none drawn while driving")
# The first second on its own: the start, while the decoder catches up with the train.
first = [x[1] for x in frames if t[0][1] <= x[1] < start]
if len(first) > 1:
    gaps = [b - a for a, b in zip(first, first[1:])]
    print(f"first second: frames {len(first)}  first after {first[0] - t[0][1]:.1f} ms  max gap {max(gaps):.1f} ms  over 45 ms {sum(g > 45 for g in gaps)}")
PY
video="${VIDEO:-$data/Movie/sakuragawa.avi}"
if [ -f "$video" ]; then
  xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
    ffplay -loglevel quiet -an -autoexit -t "$1" ${3:+-x "$3" -y "$4"} "$2" & pid=$!
    sleep "$1"; read -r -a s < /proc/$pid/stat || true
    ticks=$(( ${s[13]:-0} + ${s[14]:-0} )); hz=$(getconf CLK_TCK)
    echo "ffplay cpu_share $(python3 -c "print(round($ticks/$hz/$1, 4))")"
    wait $pid || true' _ "$drive" "$video" $drawn
else
  echo "no route video in the data set: ffplay not run"
fi
