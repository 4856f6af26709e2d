#!/usr/bin/env bash
# Builds the P2P text message reader, the XML wrapper and the STUN codec with libFuzzer and
# AddressSanitizer (clang), and runs each target for a short time; then runs the signalling,
# STUN and ICE tests built with ThreadSanitizer (inside a namespace with loopback up).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-p2p-signal-fuzz"
SECONDS_PER_TARGET="${P2P_FUZZ_SECONDS:-15}"
mkdir -p "$OUT"
CXX="${CLANGXX:-clang++}"
FLAGS=(-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -DTIXML_USE_STL -I"$ROOT/p2p")
# The SHA-1 block function checks for CPU features clang's builtin does not name: built by g++, uninstrumented.
g++ -std=c++17 -O2 -c -I"$ROOT/p2p" "$ROOT/p2p/Utils/Sha1Compress.cpp" -o "$OUT/Sha1Compress.o"
BASE=("$ROOT"/p2p/Infra3/*.cpp "$ROOT/p2p/Utils/Sha1.cpp" "$OUT/Sha1Compress.o" "$ROOT/p2p/P2PSDK/Print.cpp"
      "$ROOT/p2p/P2PSDK/XmlDocument.cpp" "$ROOT/p2p/P2PSDK/HttpMessage.cpp" "$ROOT/p2p/P2PSDK/WsseTime.cpp")
build() {
  local name=$1; shift
  "$CXX" "${FLAGS[@]}" "$@" "${BASE[@]}" -ltinyxml -lpthread -o "$OUT/$name"
}
build fuzz_p2p_http "$ROOT/tests/p2psdk/fuzz/FuzzHttpMessage.cpp" &
build fuzz_p2p_xml "$ROOT/tests/p2psdk/fuzz/FuzzXmlDocument.cpp" &
build fuzz_p2p_stun "$ROOT/tests/p2psdk/fuzz/FuzzStunMsg.cpp" "$ROOT/p2p/nattraver/stunpro/StunMsg.cpp" \
  "$ROOT/p2p/nattraver/net/Address.cpp" &
wait
run() {
  local name=$1 seeds=$2
  local corpus="$OUT/corpus-$name"
  mkdir -p "$corpus"
  cp -n "$ROOT/tests/p2psdk/fuzz/corpus/$seeds"/* "$corpus/" 2>/dev/null || true
  echo "--- $name (${SECONDS_PER_TARGET}s)"
  "$OUT/$name" -max_total_time="$SECONDS_PER_TARGET" -max_len=8192 -rss_limit_mb=2048 \
    -artifact_prefix="$OUT/crash-$name-" "$corpus" 2>&1 | tail -n 3
  return "${PIPESTATUS[0]}"
}
rc=0
run fuzz_p2p_http http || rc=1
run fuzz_p2p_xml xml || rc=1
run fuzz_p2p_stun stun || rc=1

TSAN_DIR="$(cd "$BUILD/.." && pwd)/build-tsan"
TARGETS="p2p_signal_test p2p_exchange_test p2p_nattraver_test"
cmake -S "$ROOT" -B "$TSAN_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS=-fsanitize=thread -DVX_BUILD_BENCH=OFF >/dev/null
cmake --build "$TSAN_DIR" --target $TARGETS
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 report_signal_unsafe=0"
for t in $TARGETS; do
  echo "--- $t (ThreadSanitizer)"
  timeout 300 "$ROOT/scripts/in-netns.sh" "$TSAN_DIR/bin/$t" --gtest_brief=1 || rc=1
done
exit $rc
