#!/usr/bin/env bash
# The proxy's tests again under ThreadSanitizer (in the sanitizer build the P2P step uses), then its
# message reader with libFuzzer and AddressSanitizer (clang), run briefly.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
case "$BUILD" in /*) ;; *) BUILD="$ROOT/$BUILD" ;; esac
source "$ROOT/scripts/test.d/lib/checks.sh"
tsan_build --target proxy_test
# the two tests that only wait out connect limits add nothing under the sanitizer
tsan_test 600 proxy_test --gtest_filter='-*NeverConnects*:*ConnectLimit*' --gtest_brief=1

OUT="$(cd "$BUILD/.." && pwd)/build-proxy-fuzz"
SECONDS_PER_TARGET="${PROXY_FUZZ_SECONDS:-15}"
mkdir -p "$OUT"
"$CXX" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$ROOT/p2p" "$ROOT/tests/proxy/fuzz/FuzzTouMessage.cpp" "$ROOT/p2p/Proxy/TouMessage.cpp" \
  -o "$OUT/fuzz_tou_message"
fuzz_run "$OUT/fuzz_tou_message" 4096 "$OUT/corpus" "$ROOT/tests/proxy/fuzz/corpus" "$OUT/crash-"
