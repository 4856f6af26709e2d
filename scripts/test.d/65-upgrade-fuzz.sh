#!/usr/bin/env bash
# Builds the emulated device's firmware image check with libFuzzer and AddressSanitizer (clang)
# and runs it for a short time.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-upgrade-fuzz"
SECONDS_PER_TARGET="${UPGRADE_FUZZ_SECONDS:-15}"
mkdir -p "$OUT"
CXX="${CLANGXX:-clang++}"
"$CXX" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$ROOT/platform" -I"$ROOT/sim" "$ROOT/tests/Upgrade/fuzz/FuzzFirmwareImage.cpp" -o "$OUT/fuzz_firmware_image"
corpus="$OUT/corpus-firmware"
mkdir -p "$corpus"
cp -n "$ROOT/tests/Upgrade/fuzz/corpus"/* "$corpus/" 2>/dev/null || true
echo "--- fuzz_firmware_image (${SECONDS_PER_TARGET}s)"
"$OUT/fuzz_firmware_image" -max_total_time="$SECONDS_PER_TARGET" -max_len=65536 -rss_limit_mb=2048 \
  -artifact_prefix="$OUT/crash-firmware-" "$corpus" 2>&1 | tail -n 3
exit "${PIPESTATUS[0]}"
