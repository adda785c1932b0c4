#!/usr/bin/env bash
# Builds both Debian packages and checks them as a new user would meet them: lintian,
# the desktop entry, the AppStream metadata and the manual pages; then installs them,
# starts /usr/bin/vantrel from an empty folder with an empty HOME under Xvfb, checks that
# the title window comes up on the packaged demo set, and removes the packages again.
# Installs packages system-wide: for CI's throw-away machine or a developer's own one.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/packages"
step="start"
work=$(mktemp -d)
installed=0
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

finish() {
  local rc=$?
  trap - EXIT
  if [ "$installed" = 1 ]; then $sudo dpkg -r vantrel vantrel-demo >/dev/null 2>&1 || true; fi
  rm -rf "$work"
  if [ "$rc" -ne 0 ]; then echo "package-check: FAILED at step: $step" >&2; fi
  exit "$rc"
}
trap finish EXIT
fail() {
  echo "package-check: $*" >&2
  exit 1
}

step="build the packages"
started=$(date +%s)
# VANTREL_CHECK_BUILT=1 checks the packages already in build/packages instead.
if [ "${VANTREL_CHECK_BUILT:-0}" != 1 ]; then "$root/scripts/package.sh"; fi
echo "package-check: packages built in $(( $(date +%s) - started )) s"
debs=("$out"/vantrel_*.deb "$out"/vantrel-demo_*.deb)
for d in "${debs[@]}"; do [ -f "$d" ] || fail "missing package $d"; done
ls -l "${debs[@]}"

step="lintian"
# No errors and no warnings: the few accepted are overridden, each with its reason, in
# debian/<package>.lintian-overrides.
lintian_out=$(lintian --fail-on none --display-info --show-overrides "${debs[@]}" 2>&1) || true
echo "$lintian_out"
if echo "$lintian_out" | grep -qE '^(E|W): '; then fail "lintian reports errors or warnings"; fi

step="desktop entry, AppStream metadata, manual pages"
tree="$work/tree"
for d in "${debs[@]}"; do dpkg-deb -x "$d" "$tree"; done
desktop="$tree/usr/share/applications/io.github.vantrel.Vantrel.desktop"
metainfo="$tree/usr/share/metainfo/io.github.vantrel.Vantrel.metainfo.xml"
[ -f "$desktop" ] && [ -f "$metainfo" ] || fail "desktop entry or metainfo missing"
validate_out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $validate_out"
[ -z "$validate_out" ] || fail "desktop-file-validate: $validate_out"
appstream_out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $appstream_out"
if echo "$appstream_out" | grep -qE '^(E|W|I):'; then fail "appstreamcli validate: $appstream_out"; fi
for size in 16 32 48 64 128 256; do
  [ -f "$tree/usr/share/icons/hicolor/${size}x${size}/apps/io.github.vantrel.Vantrel.png" ] || fail "no ${size} px icon"
done
[ -f "$tree/usr/share/icons/hicolor/scalable/apps/io.github.vantrel.Vantrel.svg" ] || fail "no SVG icon"
pages=$(find "$tree/usr/share/man" -name '*.gz' | sort)
[ -n "$pages" ] || fail "no manual pages"
for page in $pages; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) || fail "man $page"
  [ -z "$warnings" ] || fail "man --warnings $page: $warnings"
done
for program in "$tree"/usr/bin/*; do
  name=$(basename "$program")
  echo "$pages" | grep -qE "/$name\.[16]\.gz$" || fail "no manual page for $name"
done
[ -f "$tree/usr/share/vantrel/demo/vantrel.dat" ] || fail "the demo set is not in /usr/share/vantrel/demo"
grep -qx 'StartupWMClass=vantrel' "$desktop" || fail "the desktop entry does not name the window class"
for program in "$tree"/usr/bin/*; do
  grep -q "<binary>$(basename "$program")</binary>" "$metainfo" || fail "the metainfo does not provide $(basename "$program")"
done
for aid in contact_sheet.png pack.stamp; do
  [ ! -e "$tree/usr/share/vantrel/demo/$aid" ] || fail "the demo package holds the generator's $aid"
done

step="install"
$sudo dpkg -i "${debs[@]}"
installed=1
[ -x /usr/bin/vantrel ] || fail "/usr/bin/vantrel not installed"

step="start /usr/bin/vantrel from an empty folder with an empty HOME"
mkdir -p "$work/home" "$work/cwd"
touch "$work/before"
cat > "$work/start.sh" <<'EOF'
#!/usr/bin/env bash
# Under Xvfb: starts the program, waits for its title window, takes screenshots.
set -eu
work=$1
(cd "$work/cwd" && exec env -i PATH=/usr/bin:/bin HOME="$work/home" DISPLAY="$DISPLAY" \
  XAUTHORITY="${XAUTHORITY:-}" /usr/bin/vantrel) \
  >"$work/vantrel.log" 2>&1 &
pid=$!
# The title window: "Vantrel", at least 320 x 240 while the opening movie plays (a message box,
# titled "Vantrel" as well, is smaller) and at least 640 x 480 after it. `window MIN_W MIN_H`.
window() {
  xwininfo -root -tree | grep -E '"Vantrel": \("vantrel"' |
    awk -v w="$1" -v h="$2" '{ if (match($0, / [0-9]+x[0-9]+\+/)) { split(substr($0, RSTART + 1, RLENGTH - 2), s, "x");
      if (s[1] + 0 >= w && s[2] + 0 >= h) { print; exit } } }'
}
shot() {  # shot FILE MIN_W MIN_H: the window's picture; prints the share of message-box grey in it
  local geometry size x y
  geometry=$(window "$2" "$3" | grep -oE '[0-9]+x[0-9]+\+[0-9]+\+[0-9]+' | head -1)
  size=${geometry%%+*}; x=$(echo "$geometry" | cut -d+ -f2); y=$(echo "$geometry" | cut -d+ -f3)
  ffmpeg -loglevel error -y -f x11grab -video_size "$size" -i "$DISPLAY+$x,$y" -frames:v 1 "$1"
  ffmpeg -loglevel error -i "$1" -vf scale=64:48 -f rawvideo -pix_fmt gray - | od -An -v -tu1 |
    awk '{ for (i = 1; i <= NF; i++) { n++; if ($i >= 230 && $i <= 245) g++ } } END { print int(100 * g / n) }'
}
found=""
for _ in $(seq 1 20); do
  sleep 0.5
  kill -0 "$pid" 2>/dev/null || { echo "vantrel ended:"; cat "$work/vantrel.log"; exit 1; }
  found=$(window 320 240)
  [ -n "$found" ] && break
done
[ -n "$found" ] || { echo "no title window within 10 s:"; xwininfo -root -tree; cat "$work/vantrel.log"; exit 1; }
echo "title window: $found"
grey=$(shot "$work/movie.png" 320 240)
[ "$grey" -lt 50 ] || { echo "the window is mostly grey ($grey %): a message box?"; exit 1; }
# A click ends the opening movie: the title picture from the data set, 640 x 480.
id=$(echo "$found" | awk '{print $1}')
xdotool mousemove --window "$id" 100 100 click 1
sleep 2
[ -n "$(window 640 480)" ] || { echo "no 640 x 480 title after the click:"; xwininfo -root -tree; exit 1; }
grey=$(shot "$work/title.png" 640 480)
[ "$grey" -lt 50 ] || { echo "the title window is mostly grey ($grey %)"; exit 1; }
kill "$pid"
wait "$pid" 2>/dev/null || true
if grep -q 'が見つかりません' "$work/vantrel.log"; then cat "$work/vantrel.log"; exit 1; fi
echo "title window shown on the packaged demo set"
EOF
chmod +x "$work/start.sh"
xvfb-run -a -s "-screen 0 1024x768x24" "$work/start.sh" "$work" || fail "the title window did not come up"
mkdir -p "$out/screenshots"
cp "$work/movie.png" "$work/title.png" "$out/screenshots/"
changed=$(find /usr/share/vantrel/demo -newer "$work/before" | head -5)
[ -z "$changed" ] || fail "the program wrote into the data set: $changed"
[ -z "$(find "$work/cwd" -mindepth 1 | head -1)" ] || fail "the program wrote into the current folder"

step="remove"
$sudo dpkg -r vantrel vantrel-demo
installed=0
[ ! -e /usr/bin/vantrel ] || fail "/usr/bin/vantrel left behind"
[ ! -e /usr/share/vantrel/demo/vantrel.dat ] || fail "the demo set left behind"
echo "package-check: all checks passed (screenshots in $out/screenshots)"
