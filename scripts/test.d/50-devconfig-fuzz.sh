#!/usr/bin/env bash
# Builds the player's block input and the configuration-device library's answer parsing with
# libFuzzer and AddressSanitizer (clang), and runs each target for a short time.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-devconfig-fuzz"
SECONDS_PER_TARGET="${DEVCONFIG_FUZZ_SECONDS:-15}"
mkdir -p "$OUT"
CXX="${CLANGXX:-clang++}"
FLAGS=(-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I"$ROOT/platform" $(pkg-config --cflags jsoncpp libavcodec libavutil))
# The decoder opens libavcodec at run time by the names the configured build found.
"$CXX" "${FLAGS[@]}" -I"$BUILD/platform/player/generated" "$ROOT/tests/DevConfig/fuzz/FuzzPlayerInput.cpp" \
  "$ROOT/platform/player/StreamBlock.cpp" "$ROOT/platform/player/H264Decoder.cpp" "$ROOT/platform/player/AvLib.cpp" \
  "$ROOT/platform/os/RuntimeLib.cpp" \
  -ldl -lpthread -o "$OUT/fuzz_player_input" &
"$CXX" "${FLAGS[@]}" "$ROOT/tests/DevConfig/fuzz/FuzzConfigAnswer.cpp" "$ROOT/platform/configdevice/EncodeAnswers.cpp" \
  $(pkg-config --libs jsoncpp) -o "$OUT/fuzz_config_answer" &
wait
run() {
  local name=$1 seeds=$2
  local corpus="$OUT/corpus-$name"
  mkdir -p "$corpus"
  cp -n "$ROOT/tests/DevConfig/fuzz/corpus/$seeds"/* "$corpus/" 2>/dev/null || true
  echo "--- $name (${SECONDS_PER_TARGET}s)"
  "$OUT/$name" -max_total_time="$SECONDS_PER_TARGET" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
    -artifact_prefix="$OUT/crash-$name-" "$corpus" 2>&1 | tail -n 3
  return "${PIPESTATUS[0]}"
}
rc=0
run fuzz_player_input player || rc=1
run fuzz_config_answer answers || rc=1
exit $rc
