#!/usr/bin/env bash
# Builds the P2P text message reader, the XML wrapper and the STUN codec with libFuzzer and
# AddressSanitizer (clang), and runs each target for a short time; then runs the signalling,
# STUN and ICE tests built with ThreadSanitizer (inside a namespace with loopback up).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-p2p-signal-fuzz"
SECONDS_PER_TARGET="${P2P_FUZZ_SECONDS:-15}"
source "$ROOT/scripts/test.d/lib/checks.sh"
p2p_fuzz_base
p2p_fuzz_build fuzz_p2p_http "$ROOT/tests/p2psdk/fuzz/FuzzHttpMessage.cpp" &
p2p_fuzz_build fuzz_p2p_xml "$ROOT/tests/p2psdk/fuzz/FuzzXmlDocument.cpp" &
p2p_fuzz_build fuzz_p2p_stun "$ROOT/tests/p2psdk/fuzz/FuzzStunMsg.cpp" "$ROOT/p2p/nattraver/stunpro/StunMsg.cpp" \
  "$ROOT/p2p/nattraver/net/Address.cpp" &
wait
run() {
  local name=$1 seeds=$2
  fuzz_run "$OUT/$name" 8192 "$OUT/corpus-$name" "$ROOT/tests/p2psdk/fuzz/corpus/$seeds" "$OUT/crash-$name-"
}
rc=0
run fuzz_p2p_http http || rc=1
run fuzz_p2p_xml xml || rc=1
run fuzz_p2p_stun stun || rc=1

TARGETS="p2p_signal_test p2p_exchange_test p2p_nattraver_test"
tsan_build --target $TARGETS
for t in $TARGETS; do
  tsan_test 300 "$t" --gtest_brief=1 || rc=1
done
exit $rc
