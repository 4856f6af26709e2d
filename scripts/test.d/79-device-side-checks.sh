#!/usr/bin/env bash
# Builds the device side's message readers with libFuzzer and AddressSanitizer (clang) and runs the
# target for a short time; then runs the device-side tests built with ThreadSanitizer (inside a namespace
# with loopback up).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-device-fuzz"
SECONDS_PER_TARGET="${P2P_FUZZ_SECONDS:-15}"
source "$ROOT/scripts/test.d/lib/checks.sh"
p2p_fuzz_base
p2p_fuzz_build fuzz_device_messages "$ROOT/tests/proxyp2p/fuzz/FuzzDeviceMessages.cpp" \
  "$ROOT/p2p/ProxyP2P/DeviceMessages.cpp"
rc=0
fuzz_run "$OUT/fuzz_device_messages" 8192 "$OUT/corpus-device-messages" "$ROOT/tests/proxyp2p/fuzz/corpus" \
  "$OUT/crash-device-messages-" || rc=1

tsan_build -j4 --target p2p_device_test
tsan_test 300 p2p_device_test --gtest_brief=1 || rc=1
exit $rc
