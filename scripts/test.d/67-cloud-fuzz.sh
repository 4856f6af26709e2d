#!/usr/bin/env bash
# Builds the cloud protocol's readers on both sides (the SDK's replies and addresses, the update
# service stand-in's requests and files) with libFuzzer and AddressSanitizer (clang) and runs
# each for a short time.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-cloud-fuzz"
SECONDS_PER_TARGET="${CLOUD_FUZZ_SECONDS:-15}"
mkdir -p "$OUT"
CXX="${CLANGXX:-clang++}"
FLAGS=(-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I"$ROOT/platform" -I"$ROOT/sim" $(pkg-config --cflags jsoncpp))
LIBS=($(pkg-config --libs jsoncpp))
WIRE=("$ROOT/platform/devsdk/Wire.cpp" "$ROOT/platform/devsdk/CloudWire.cpp")
"$CXX" "${FLAGS[@]}" "$ROOT/tests/cloudsvc/fuzz/FuzzCloudReplies.cpp" "${WIRE[@]}" "${LIBS[@]}" \
  -o "$OUT/fuzz_cloud_replies" &
"$CXX" "${FLAGS[@]}" "$ROOT/tests/cloudsvc/fuzz/FuzzCloudService.cpp" "$ROOT/sim/cloudsvc/CloudCatalog.cpp" \
  "$ROOT/sim/fwmake/FirmwareImage.cpp" "${WIRE[@]}" "${LIBS[@]}" -lcrypto -o "$OUT/fuzz_cloud_service" &
wait
run() {
  local name=$1 seeds=$2
  local corpus="$OUT/corpus-$name"
  mkdir -p "$corpus"
  cp -n "$ROOT/tests/cloudsvc/fuzz/corpus/$seeds"/* "$corpus/" 2>/dev/null || true
  echo "--- $name (${SECONDS_PER_TARGET}s)"
  "$OUT/$name" -max_total_time="$SECONDS_PER_TARGET" -max_len=65536 -rss_limit_mb=2048 \
    -artifact_prefix="$OUT/crash-$name-" "$corpus" 2>&1 | tail -n 3
  return "${PIPESTATUS[0]}"
}
rc=0
run fuzz_cloud_replies replies || rc=1
run fuzz_cloud_service requests || rc=1
exit $rc
