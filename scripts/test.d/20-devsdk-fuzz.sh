#!/usr/bin/env bash
# Builds the frame and configuration-text parsers of the device SDK and of the emulated
# devices with libFuzzer and AddressSanitizer (clang), and runs each target for a short time.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-devsdk-fuzz"
SECONDS_PER_TARGET="${DEVSDK_FUZZ_SECONDS:-20}"
mkdir -p "$OUT"
CXX="${CLANGXX:-clang++}"
FLAGS=(-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I"$ROOT/platform" -I"$ROOT/sim" $(pkg-config --cflags jsoncpp))
LIBS=($(pkg-config --libs jsoncpp))
SDK_SRC=("$ROOT/platform/devsdk/Wire.cpp" "$ROOT/platform/devsdk/LastError.cpp"
         "$ROOT/platform/devsdk/NetInfoCodec.cpp" "$ROOT/platform/devsdk/CfgSdk.cpp")
build() {
  local name=$1; shift
  "$CXX" "${FLAGS[@]}" "$@" "${SDK_SRC[@]}" "${LIBS[@]}" -o "$OUT/$name"
}
build fuzz_sdk_frames "$ROOT/tests/devsdk/fuzz/FuzzSdkFrames.cpp" &
build fuzz_cfg_parse "$ROOT/tests/devsdk/fuzz/FuzzCfgParse.cpp" &
DEVSIM_SRC=($(ls "$ROOT"/sim/devsim/*.cpp | grep -vE '/(main|Fleet|FleetBuilder|FleetTransfer|DeviceVideo)\.cpp$'))
build fuzz_devsim_requests "$ROOT/tests/devsdk/fuzz/FuzzDevsimRequests.cpp" "${DEVSIM_SRC[@]}" &
wait
run() {
  local name=$1 seeds=$2
  local corpus="$OUT/corpus-$name"
  mkdir -p "$corpus"
  cp -n "$ROOT/tests/devsdk/fuzz/corpus/$seeds"/* "$corpus/" 2>/dev/null || true
  echo "--- $name (${SECONDS_PER_TARGET}s)"
  "$OUT/$name" -max_total_time="$SECONDS_PER_TARGET" -max_len=65536 -rss_limit_mb=2048 \
    -artifact_prefix="$OUT/crash-$name-" "$corpus" 2>&1 | tail -n 3
  return "${PIPESTATUS[0]}"
}
rc=0
run fuzz_sdk_frames frames || rc=1
run fuzz_cfg_parse cfg || rc=1
run fuzz_devsim_requests requests || rc=1
exit $rc
