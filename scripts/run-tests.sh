#!/usr/bin/env bash
# Runs inside the test namespace: every CTest test, then the extra steps of scripts/test.d.
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
export QT_QPA_PLATFORM=offscreen
rc=0
# A test that fails is run once more, so a loaded machine does not fail the run; both runs show in
# the output.
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" --timeout 600 --repeat until-pass:2 || rc=1
for step in scripts/test.d/*.sh; do
  [ -e "$step" ] || continue
  echo "=== $step"
  bash "$step" "$BUILD_DIR" || { echo "FAILED: $step"; rc=1; }
done
exit $rc
