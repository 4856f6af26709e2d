#!/usr/bin/env bash
# Runs inside the test namespace: every CTest test, then the extra steps of scripts/test.d.
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
export QT_QPA_PLATFORM=offscreen
rc=0
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" --timeout 600 || rc=1
for step in scripts/test.d/*.sh; do
  [ -e "$step" ] || continue
  echo "=== $step"
  bash "$step" "$BUILD_DIR" || { echo "FAILED: $step"; rc=1; }
done
exit $rc
