#!/usr/bin/env bash
# Builds the emulated device's firmware image check and its transfer reader's frame taking with
# libFuzzer and AddressSanitizer (clang) and runs each for a short time.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-upgrade-fuzz"
SECONDS_PER_TARGET="${UPGRADE_FUZZ_SECONDS:-15}"
mkdir -p "$OUT"
CXX="${CLANGXX:-clang++}"
"$CXX" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$ROOT/platform" -I"$ROOT/sim" "$ROOT/tests/Upgrade/fuzz/FuzzFirmwareImage.cpp" "$ROOT/sim/devsim/FirmwareCrc.cpp" \
  -o "$OUT/fuzz_firmware_image"
"$CXX" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$ROOT/platform" $(pkg-config --cflags jsoncpp) "$ROOT/tests/Upgrade/fuzz/FuzzTransferReceive.cpp" \
  "$ROOT/platform/devsdk/Wire.cpp" $(pkg-config --libs jsoncpp) -o "$OUT/fuzz_transfer_receive"
corpus="$OUT/corpus-firmware"
mkdir -p "$corpus"
cp -n "$ROOT/tests/Upgrade/fuzz/corpus"/* "$corpus/" 2>/dev/null || true
echo "--- fuzz_firmware_image (${SECONDS_PER_TARGET}s)"
"$OUT/fuzz_firmware_image" -max_total_time="$SECONDS_PER_TARGET" -max_len=65536 -rss_limit_mb=2048 \
  -artifact_prefix="$OUT/crash-firmware-" "$corpus" 2>&1 | tail -n 3
rc=${PIPESTATUS[0]}
corpus="$OUT/corpus-transfer"
mkdir -p "$corpus"
cp -n "$ROOT/tests/devsdk/fuzz/corpus/frames"/* "$corpus/" 2>/dev/null || true
echo "--- fuzz_transfer_receive (${SECONDS_PER_TARGET}s)"
"$OUT/fuzz_transfer_receive" -max_total_time="$SECONDS_PER_TARGET" -max_len=65536 -rss_limit_mb=2048 \
  -artifact_prefix="$OUT/crash-transfer-" "$corpus" 2>&1 | tail -n 3
[ "${PIPESTATUS[0]}" -eq 0 ] || rc=1
exit $rc
