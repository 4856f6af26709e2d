#!/usr/bin/env bash
# Builds the password-reset file readers (authorisation file, sealed request, descriptions)
# with libFuzzer and AddressSanitizer (clang), and runs each target for a short time.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-sysconfig-fuzz"
SECONDS_PER_TARGET="${SYSCONFIG_FUZZ_SECONDS:-15}"
mkdir -p "$OUT"
CXX="${CLANGXX:-clang++}"
FLAGS=(-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -DTIXML_USE_STL
       -I"$ROOT/app" -I"$ROOT/sim")
"$CXX" "${FLAGS[@]}" "$ROOT/tests/SysConfig/fuzz/FuzzAuthorizationFile.cpp" "$ROOT/app/SysConfig/CResetInfoXml.cpp" \
  -ltinyxml -o "$OUT/fuzz_authorization_file" &
"$CXX" "${FLAGS[@]}" -DVX_FUZZ_KEY="\"$ROOT/sim/resetsvc/keys/private.pem\"" \
  "$ROOT/tests/SysConfig/fuzz/FuzzResetRequest.cpp" "$ROOT/sim/resetsvc/ResetService.cpp" \
  -ltinyxml -lcrypto -o "$OUT/fuzz_reset_request" &
wait
run() {
  local name=$1 seeds=$2
  local corpus="$OUT/corpus-$name"
  mkdir -p "$corpus"
  cp -n "$ROOT/tests/SysConfig/fuzz/corpus/$seeds"/* "$corpus/" 2>/dev/null || true
  echo "--- $name (${SECONDS_PER_TARGET}s)"
  "$OUT/$name" -max_total_time="$SECONDS_PER_TARGET" -max_len=65536 -rss_limit_mb=2048 \
    -artifact_prefix="$OUT/crash-$name-" "$corpus" 2>&1 | tail -n 3
  return "${PIPESTATUS[0]}"
}
rc=0
run fuzz_authorization_file authfile || rc=1
run fuzz_reset_request request || rc=1
exit $rc
