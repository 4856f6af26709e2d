#!/usr/bin/env bash
# Builds the PTCP segment reader with libFuzzer and AddressSanitizer (clang) and runs it briefly.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-ptcp-fuzz"
SECONDS_PER_TARGET="${PTCP_FUZZ_SECONDS:-20}"
mkdir -p "$OUT/corpus"
CXX="${CLANGXX:-clang++}"
"$CXX" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$ROOT/p2p" "$ROOT/tests/ptcp/fuzz/FuzzPtcpSegments.cpp" \
  "$ROOT"/p2p/PTCP/{ByteBuffer,FifoBuffer,PhonyTcp,PhonyTcpCodec}.cpp \
  "$ROOT"/p2p/Memory/{Packet,PacketManager}.cpp "$ROOT"/p2p/Infra3/*.cpp -lpthread \
  -o "$OUT/fuzz_ptcp_segments"
cp -n "$ROOT/tests/ptcp/fuzz/corpus"/* "$OUT/corpus/" 2>/dev/null || true
echo "--- fuzz_ptcp_segments (${SECONDS_PER_TARGET}s)"
"$OUT/fuzz_ptcp_segments" -max_total_time="$SECONDS_PER_TARGET" -max_len=8192 -rss_limit_mb=2048 \
  -artifact_prefix="$OUT/crash-" "$OUT/corpus" 2>&1 | tail -n 3
exit "${PIPESTATUS[0]}"
