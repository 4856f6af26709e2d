#!/usr/bin/env bash
# Runs the device configuration page against the embedded fleet under Xvfb and keeps its
# screenshots (start, Encode, two IMAGE frames, FileManage, failed login) in build-devconfig-screens.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-devconfig-screens"
mkdir -p "$OUT"
VX_SCREENSHOT_DIR="$OUT" xvfb-run -a "$BUILD/bin/DevConfigPageFleetTests"
for shot in devconfig-1-encode devconfig-2-image devconfig-3-image devconfig-6-filemanage devconfig-5-failed; do
  test -s "$OUT/$shot.png" || { echo "missing screenshot $shot" >&2; exit 1; }
done
