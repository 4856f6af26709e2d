#!/usr/bin/env bash
# Builds the device side's message readers with libFuzzer and AddressSanitizer (clang) and runs the
# target for a short time; then runs the device-side tests built with ThreadSanitizer, one process per
# test as ctest does (the heartbeat pacing is process-wide), inside a namespace with loopback up.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-device-fuzz"
SECONDS_PER_TARGET="${P2P_FUZZ_SECONDS:-15}"
mkdir -p "$OUT"
CXX="${CLANGXX:-clang++}"
FLAGS=(-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -DTIXML_USE_STL -I"$ROOT/p2p")
# The SHA-1 block function checks for CPU features clang's builtin does not name: built by g++, uninstrumented.
g++ -std=c++17 -O2 -c -I"$ROOT/p2p" "$ROOT/p2p/Utils/Sha1Compress.cpp" -o "$OUT/Sha1Compress.o"
"$CXX" "${FLAGS[@]}" "$ROOT/tests/proxyp2p/fuzz/FuzzDeviceMessages.cpp" "$ROOT/p2p/ProxyP2P/DeviceMessages.cpp" \
  "$ROOT"/p2p/Infra3/*.cpp "$ROOT/p2p/Utils/Sha1.cpp" "$OUT/Sha1Compress.o" "$ROOT/p2p/P2PSDK/Print.cpp" \
  "$ROOT/p2p/P2PSDK/XmlDocument.cpp" "$ROOT/p2p/P2PSDK/HttpMessage.cpp" "$ROOT/p2p/P2PSDK/WsseTime.cpp" \
  -ltinyxml -lpthread -o "$OUT/fuzz_device_messages"
corpus="$OUT/corpus-device-messages"
mkdir -p "$corpus"
cp -n "$ROOT/tests/proxyp2p/fuzz/corpus"/* "$corpus/" 2>/dev/null || true
echo "--- fuzz_device_messages (${SECONDS_PER_TARGET}s)"
rc=0
"$OUT/fuzz_device_messages" -max_total_time="$SECONDS_PER_TARGET" -max_len=8192 -rss_limit_mb=2048 \
  -artifact_prefix="$OUT/crash-device-messages-" "$corpus" 2>&1 | tail -n 3
[ "${PIPESTATUS[0]}" -eq 0 ] || rc=1

TSAN_DIR="$(cd "$BUILD/.." && pwd)/build-tsan"
cmake -S "$ROOT" -B "$TSAN_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS=-fsanitize=thread -DVX_BUILD_BENCH=OFF >/dev/null
cmake --build "$TSAN_DIR" -j4 --target p2p_device_test
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 report_signal_unsafe=0"
echo "--- p2p_device_test (ThreadSanitizer)"
for t in $("$TSAN_DIR/bin/p2p_device_test" --gtest_list_tests | awk '/^[^ ]/{s=$1} /^  /{print s $1}'); do
  timeout 120 "$ROOT/scripts/in-netns.sh" "$TSAN_DIR/bin/p2p_device_test" --gtest_filter="$t" --gtest_brief=1 \
    || { echo "failed: $t"; rc=1; }
done
exit $rc
