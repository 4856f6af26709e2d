#!/usr/bin/env bash
# The P2P base library's tests again, built with ThreadSanitizer in a build of their own.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$ROOT"
BUILD=${1:-build}
source "$ROOT/scripts/test.d/lib/checks.sh"
TARGETS="p2p_infra_test p2p_memory_test p2p_packet_pool_test p2p_utils_test p2p_component_test"

tsan_build --target $TARGETS

rc=0
for t in $TARGETS; do
  # Death tests fork a process with threads running, which the sanitizer cannot follow.
  tsan_test 300 "$t" --gtest_filter='-*DeathTest*' --gtest_brief=1 || rc=1
done
exit $rc
