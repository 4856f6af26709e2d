#!/usr/bin/env bash
# Builds the proxy channel message reader with libFuzzer and AddressSanitizer (clang) and runs it briefly.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-proxy-fuzz"
SECONDS_PER_TARGET="${PROXY_FUZZ_SECONDS:-15}"
mkdir -p "$OUT/corpus"
CXX="${CLANGXX:-clang++}"
"$CXX" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$ROOT/p2p" "$ROOT/tests/proxy/fuzz/FuzzTouMessage.cpp" "$ROOT/p2p/Proxy/TouMessage.cpp" \
  -o "$OUT/fuzz_tou_message"
cp -n "$ROOT/tests/proxy/fuzz/corpus"/* "$OUT/corpus/" 2>/dev/null || true
echo "--- fuzz_tou_message (${SECONDS_PER_TARGET}s)"
"$OUT/fuzz_tou_message" -max_total_time="$SECONDS_PER_TARGET" -max_len=4096 -rss_limit_mb=2048 \
  -artifact_prefix="$OUT/crash-" "$OUT/corpus" 2>&1 | tail -n 3
exit "${PIPESTATUS[0]}"
