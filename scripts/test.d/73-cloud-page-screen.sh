#!/usr/bin/env bash
# Draws the cloud upgrade page with rows in several check, download and upgrade states under Xvfb
# and keeps the picture in build-cloudpage-screens.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-cloudpage-screens"
mkdir -p "$OUT"
rm -f "$OUT/cloudpage-rows.png"
VX_CLOUDPAGE_SHOT="$OUT/cloudpage-rows.png" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x800x24" "$BUILD/bin/cloudpage_tests" --gtest_filter='CloudPage.Screenshot*'
test -s "$OUT/cloudpage-rows.png" || { echo "missing screenshot cloudpage-rows.png" >&2; exit 1; }
