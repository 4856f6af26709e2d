#!/usr/bin/env bash
# The P2P base library's tests again, built with ThreadSanitizer in a build of their own.
set -euo pipefail
cd "$(dirname "$0")/../.."
BUILD=${1:-build}
TSAN_DIR="$BUILD/../build-tsan"
TARGETS="p2p_infra_test p2p_memory_test p2p_packet_pool_test p2p_utils_test p2p_component_test"

cmake -S . -B "$TSAN_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS=-fsanitize=thread -DVX_BUILD_BENCH=OFF >/dev/null
cmake --build "$TSAN_DIR" --target $TARGETS

export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 report_signal_unsafe=0"
rc=0
for t in $TARGETS; do
  echo "--- $t (ThreadSanitizer)"
  # Death tests fork a process with threads running, which the sanitizer cannot follow.
  timeout 300 "$TSAN_DIR/bin/$t" --gtest_filter='-*DeathTest*' --gtest_brief=1 || rc=1
done
exit $rc
