#!/usr/bin/env bash
# Builds the fleet-file device entry parser of the emulated devices (network cards, reset
# contact, cloud options) with libFuzzer and AddressSanitizer (clang) and runs it for a short time.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-network-fuzz"
SECONDS_PER_TARGET="${NETWORK_FUZZ_SECONDS:-15}"
mkdir -p "$OUT"
CXX="${CLANGXX:-clang++}"
DEVSIM_SRC=($(ls "$ROOT"/sim/devsim/*.cpp | grep -vE '/(main|Fleet|FleetBuilder|FleetTransfer|DeviceVideo)\.cpp$'))
"$CXX" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$ROOT/platform" -I"$ROOT/sim" $(pkg-config --cflags jsoncpp) \
  "$ROOT/tests/IPConfig/fuzz/FuzzFleetEntry.cpp" "${DEVSIM_SRC[@]}" \
  "$ROOT/platform/devsdk/Wire.cpp" "$ROOT/platform/devsdk/LastError.cpp" \
  $(pkg-config --libs jsoncpp) -o "$OUT/fuzz_fleet_entry"
corpus="$OUT/corpus"
mkdir -p "$corpus"
cp -n "$ROOT/tests/IPConfig/fuzz/corpus"/* "$corpus/" 2>/dev/null || true
echo "--- fuzz_fleet_entry (${SECONDS_PER_TARGET}s)"
"$OUT/fuzz_fleet_entry" -max_total_time="$SECONDS_PER_TARGET" -max_len=16384 -rss_limit_mb=2048 \
  -artifact_prefix="$OUT/crash-fleet-entry-" "$corpus" 2>&1 | tail -n 3
exit "${PIPESTATUS[0]}"
