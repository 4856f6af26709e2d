#!/usr/bin/env bash
# Builds the task runtime tests with ThreadSanitizer and runs the ones that cross threads
# without Qt's (uninstrumented) event machinery in between.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-foundation-tsan"
cmake -S "$ROOT" -B "$OUT" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=thread" >/dev/null
cmake --build "$OUT" --target CommonTests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" QT_QPA_PLATFORM=offscreen \
  timeout 300 "$OUT/bin/CommonTests" \
  --gtest_filter='TaskQueue.*:Task.*:WorkerThread.*:Event.*:Thread.*:SynSmartPtr.*:Trace.*'
