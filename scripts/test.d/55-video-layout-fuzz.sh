#!/usr/bin/env bash
# Builds the video layout text parser with libFuzzer and AddressSanitizer (clang) and runs it
# for a short time, starting from the predefined layouts.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-video-layout-fuzz"
SECONDS_PER_TARGET="${VIDEO_LAYOUT_FUZZ_SECONDS:-15}"
mkdir -p "$OUT"
CXX="${CLANGXX:-clang++}"
"$CXX" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$ROOT/app" -I"$ROOT/platform" \
  "$ROOT/tests/Widgets/fuzz/FuzzVideoLayout.cpp" "$ROOT/app/Widgets/CQTVideoWindowLayout.cpp" \
  -o "$OUT/fuzz_video_layout"
corpus="$OUT/corpus-video-layout"
mkdir -p "$corpus"
cp -n "$ROOT/tests/Widgets/fuzz/corpus/layout"/* "$corpus/" 2>/dev/null || true
echo "--- fuzz_video_layout (${SECONDS_PER_TARGET}s)"
"$OUT/fuzz_video_layout" -max_total_time="$SECONDS_PER_TARGET" -max_len=65536 -rss_limit_mb=2048 \
  -artifact_prefix="$OUT/crash-video-layout-" "$corpus" 2>&1 | tail -n 3
exit "${PIPESTATUS[0]}"
