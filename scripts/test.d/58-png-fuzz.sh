#!/usr/bin/env bash
# Builds the skin PNG decoder with libFuzzer and AddressSanitizer (clang) and runs it for a short
# time, starting from small files of every colour type, bit depth and interlacing.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-png-fuzz"
SECONDS_PER_TARGET="${PNG_FUZZ_SECONDS:-15}"
mkdir -p "$OUT"
CXX="${CLANGXX:-clang++}"
"$CXX" -std=c++17 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$ROOT/app" $(pkg-config --cflags Qt6Gui libpng) \
  "$ROOT/tests/PngDecode/fuzz/FuzzPngDecode.cpp" "$ROOT/app/Widgets/SFPngDecode.cpp" \
  $(pkg-config --libs Qt6Gui libpng) -o "$OUT/fuzz_png_decode"
corpus="$OUT/corpus-png"
mkdir -p "$corpus"
cp -n "$ROOT/tests/PngDecode/fuzz/corpus"/* "$corpus/" 2>/dev/null || true
# Images of up to 64 MiB come and go: a small quarantine keeps the memory well under the limit.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=32}"
echo "--- fuzz_png_decode (${SECONDS_PER_TARGET}s)"
"$OUT/fuzz_png_decode" -max_total_time="$SECONDS_PER_TARGET" -max_len=65536 -rss_limit_mb=2048 \
  -dict="$ROOT/tests/PngDecode/fuzz/png.dict" -artifact_prefix="$OUT/crash-png-" "$corpus" 2>&1 | tail -n 3
exit "${PIPESTATUS[0]}"
