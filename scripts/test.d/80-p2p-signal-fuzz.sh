#!/usr/bin/env bash
# Builds the P2P text message reader, the XML wrapper and the STUN codec with libFuzzer and
# AddressSanitizer (clang), and runs each target for a short time.
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
exit $rc
