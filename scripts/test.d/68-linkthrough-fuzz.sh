#!/usr/bin/env bash
# Builds the link-through field readers with libFuzzer and AddressSanitizer (clang) and runs the target
# for a short time; then runs the link-through tests built with ThreadSanitizer (inside a namespace
# with loopback up).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-linkthrough-fuzz"
SECONDS_PER_TARGET="${P2P_FUZZ_SECONDS:-15}"
source "$ROOT/scripts/test.d/lib/checks.sh"
p2p_fuzz_base
p2p_fuzz_build fuzz_link_fields "$ROOT/tests/linkthrough/fuzz/FuzzLinkFields.cpp" \
  "$ROOT/p2p/LinkThrough/P2PMessageParser.cpp"
rc=0
fuzz_run "$OUT/fuzz_link_fields" 8192 "$OUT/corpus-link-fields" "$ROOT/tests/linkthrough/fuzz/corpus" \
  "$OUT/crash-link-fields-" || rc=1

tsan_build --target p2p_linkthrough_test
tsan_test 300 p2p_linkthrough_test --gtest_brief=1 || rc=1
exit $rc
