#!/usr/bin/env bash
# The proxy's tests again under ThreadSanitizer (in the sanitizer build the P2P step uses), then its
# message reader with libFuzzer and AddressSanitizer (clang), run briefly.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
case "$BUILD" in /*) ;; *) BUILD="$ROOT/$BUILD" ;; esac
TSAN_DIR="$BUILD/../build-tsan"
cmake -S "$ROOT" -B "$TSAN_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS=-fsanitize=thread -DVX_BUILD_BENCH=OFF >/dev/null
cmake --build "$TSAN_DIR" --target proxy_test
echo "--- proxy_test (ThreadSanitizer)"
# the two tests that only wait out connect limits add nothing under the sanitizer
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 report_signal_unsafe=0" timeout 600 \
  "$TSAN_DIR/bin/proxy_test" --gtest_filter='-*NeverConnects*:*ConnectLimit*' --gtest_brief=1

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
