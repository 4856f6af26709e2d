#!/usr/bin/env bash
# The proxy client's tests (port mappings, C interface, device-side proxy server, end to end) again
# under ThreadSanitizer, in the sanitizer build the other P2P steps use, inside a namespace with loopback up.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
case "$BUILD" in /*) ;; *) BUILD="$ROOT/$BUILD" ;; esac
TSAN_DIR="$BUILD/../build-tsan"
cmake -S "$ROOT" -B "$TSAN_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS=-fsanitize=thread -DVX_BUILD_BENCH=OFF >/dev/null
cmake --build "$TSAN_DIR" -j4 --target proxy_client_test
echo "--- proxy_client_test (ThreadSanitizer)"
# the tests that only wait out connect limits (about 10 s each) add nothing under the sanitizer
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 report_signal_unsafe=0" timeout 600 \
  "$ROOT/scripts/in-netns.sh" "$TSAN_DIR/bin/proxy_client_test" \
  --gtest_filter='-*NeverConnects*:*DropsDeadChannels*:*MappingWithoutChannel*' --gtest_brief=1
