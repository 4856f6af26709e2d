#!/usr/bin/env bash
# Builds the PTCP segment reader with libFuzzer and AddressSanitizer (clang) and runs it briefly.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-ptcp-fuzz"
SECONDS_PER_TARGET="${PTCP_FUZZ_SECONDS:-20}"
source "$ROOT/scripts/test.d/lib/checks.sh"
mkdir -p "$OUT"
"$CXX" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$ROOT/p2p" "$ROOT/tests/ptcp/fuzz/FuzzPtcpSegments.cpp" \
  "$ROOT"/p2p/PTCP/{ByteBuffer,FifoBuffer,PhonyTcp,PhonyTcpCodec}.cpp \
  "$ROOT"/p2p/Memory/{Packet,PacketManager}.cpp "$ROOT"/p2p/Infra3/*.cpp -lpthread \
  -o "$OUT/fuzz_ptcp_segments"
fuzz_run "$OUT/fuzz_ptcp_segments" 8192 "$OUT/corpus" "$ROOT/tests/ptcp/fuzz/corpus" "$OUT/crash-"
