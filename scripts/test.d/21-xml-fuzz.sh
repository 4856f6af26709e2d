#!/usr/bin/env bash
# Builds the checked XML parse of the settings, language and workbook readers with libFuzzer and
# AddressSanitizer (clang), and runs it for a short time.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-xml-fuzz"
SECONDS_PER_TARGET="${XML_FUZZ_SECONDS:-15}"
mkdir -p "$OUT"
CXX="${CLANGXX:-clang++}"
"$CXX" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$ROOT/app" "$ROOT/tests/Common/fuzz/FuzzXmlReaders.cpp" -ltinyxml -o "$OUT/fuzz_xml_readers"
corpus="$OUT/corpus-xml"
mkdir -p "$corpus"
cp -n "$ROOT/tests/Common/fuzz/corpus"/* "$corpus/" 2>/dev/null || true
echo "--- fuzz_xml_readers (${SECONDS_PER_TARGET}s)"
# The stack is kept small, so that a parse that recursed without bound would fail here.
"$OUT/fuzz_xml_readers" -max_total_time="$SECONDS_PER_TARGET" -max_len=200000 -rss_limit_mb=2048 \
  -artifact_prefix="$OUT/crash-xml-" "$corpus" 2>&1 | tail -n 3
exit "${PIPESTATUS[0]}"
