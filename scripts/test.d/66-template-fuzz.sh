#!/usr/bin/env bash
# Builds the template file reader (with the Encode merge) with libFuzzer and AddressSanitizer
# (clang), and runs it for a short time.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-template-fuzz"
SECONDS_PER_TARGET="${TEMPLATE_FUZZ_SECONDS:-15}"
mkdir -p "$OUT"
CXX="${CLANGXX:-clang++}"
"$CXX" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -DTIXML_USE_STL \
  -I"$ROOT/app" $(pkg-config --cflags jsoncpp) "$ROOT/tests/TemplateStore/fuzz/FuzzTemplateXml.cpp" \
  "$ROOT/app/Template/CTemplateXml.cpp" "$ROOT/app/Template/TemplateEncodeMerge.cpp" \
  "$ROOT/app/Template/TemplateXmlText.cpp" -ltinyxml $(pkg-config --libs jsoncpp) -o "$OUT/fuzz_template_xml"
corpus="$OUT/corpus-template"
mkdir -p "$corpus"
cp -n "$ROOT/tests/TemplateStore/fuzz/corpus"/* "$corpus/" 2>/dev/null || true
echo "--- fuzz_template_xml (${SECONDS_PER_TARGET}s)"
"$OUT/fuzz_template_xml" -max_total_time="$SECONDS_PER_TARGET" -max_len=300000 -rss_limit_mb=2048 \
  -artifact_prefix="$OUT/crash-template-" "$corpus" 2>&1 | tail -n 3
exit "${PIPESTATUS[0]}"
