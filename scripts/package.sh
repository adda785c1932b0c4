#!/usr/bin/env bash
# Builds the two Debian packages, vantrel and vantrel-demo, from this source tree with
# dpkg-buildpackage and leaves them in build/packages/. The programs are built without
# tests or benchmarks, two jobs at a time, through ccache when it is installed.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-package-deps.sh"
out="$root/build/packages"
version=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version)
# dpkg-buildpackage builds inside the source tree and writes beside it: work on a copy
# of the tree's files (a stable path, so the compiler cache hits on the next build).
src="$out/src/vantrel-$version"
rm -rf "$out"
mkdir -p "$src"
if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  (cd "$root" && git ls-files -z -c -o --exclude-standard |
    while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
    tar --null -T - -cf -) | tar -xf - -C "$src"
else
  (cd "$root" && tar --exclude='./build*' -cf - .) | tar -xf - -C "$src"
fi
if command -v ccache >/dev/null; then
  # debhelper gives the build a HOME of its own: keep the usual cache.
  CCACHE_DIR=$(ccache --get-config cache_dir)
  export CCACHE_DIR
fi
jobs=${VANTREL_PACKAGE_JOBS:-2}
started=$(date +%s)
(cd "$src" && DEB_BUILD_OPTIONS="nocheck noddebs parallel=$jobs" dpkg-buildpackage -b -us -uc)
mv "$out"/src/*.deb "$out"/src/*.changes "$out"/src/*.buildinfo "$out"/
rm -rf "$out/src"
echo "package.sh: built in $(( $(date +%s) - started )) s:"
ls -l "$out"/*.deb
