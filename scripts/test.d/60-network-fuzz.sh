#!/usr/bin/env bash
# Builds the fleet-file device entry parser of the emulated devices (network cards, reset
# contact, cloud options) with libFuzzer and AddressSanitizer (clang) and runs it for a short time.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-network-fuzz"
SECONDS_PER_TARGET="${NETWORK_FUZZ_SECONDS:-15}"
source "$ROOT/scripts/test.d/lib/checks.sh"
mkdir -p "$OUT"
DEVSIM_SRC=($(ls "$ROOT"/sim/devsim/*.cpp | grep -vE '/(main|Fleet|FleetBuilder|FleetTransfer|DeviceVideo)\.cpp$'))
"$CXX" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$ROOT/platform" -I"$ROOT/sim" $(pkg-config --cflags jsoncpp) \
  "$ROOT/tests/IPConfig/fuzz/FuzzFleetEntry.cpp" "${DEVSIM_SRC[@]}" \
  "$ROOT/platform/devsdk/Wire.cpp" "$ROOT/platform/devsdk/LastError.cpp" \
  $(pkg-config --libs jsoncpp) -o "$OUT/fuzz_fleet_entry"
fuzz_run "$OUT/fuzz_fleet_entry" 16384 "$OUT/corpus" "$ROOT/tests/IPConfig/fuzz/corpus" "$OUT/crash-fleet-entry-"
