#!/usr/bin/env bash
# Builds the checks of the template apply worker on device Encode answers with libFuzzer and
# AddressSanitizer (clang), and runs them for a short time.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-template-apply-fuzz"
SECONDS_PER_TARGET="${TEMPLATE_APPLY_FUZZ_SECONDS:-15}"
mkdir -p "$OUT"
CXX="${CLANGXX:-clang++}"
"$CXX" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -DTIXML_USE_STL \
  -I"$ROOT/app" $(pkg-config --cflags jsoncpp) "$ROOT/tests/TemplateApply/fuzz/FuzzEncodeExchange.cpp" \
  "$ROOT/app/Template/TemplateEncodeExchange.cpp" $(pkg-config --libs jsoncpp) -o "$OUT/fuzz_encode_exchange"
corpus="$OUT/corpus-encode-exchange"
mkdir -p "$corpus"
cp -n "$ROOT/tests/TemplateApply/fuzz/corpus"/* "$corpus/" 2>/dev/null || true
echo "--- fuzz_encode_exchange (${SECONDS_PER_TARGET}s)"
"$OUT/fuzz_encode_exchange" -max_total_time="$SECONDS_PER_TARGET" -max_len=10240 -rss_limit_mb=2048 \
  -artifact_prefix="$OUT/crash-encode-exchange-" "$corpus" 2>&1 | tail -n 3
exit "${PIPESTATUS[0]}"
