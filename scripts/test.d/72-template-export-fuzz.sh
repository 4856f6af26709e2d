#!/usr/bin/env bash
# Builds the template export's reading of device Encode replies with libFuzzer and
# AddressSanitizer (clang), and runs it for a short time.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-template-export-fuzz"
SECONDS_PER_TARGET="${TEMPLATE_EXPORT_FUZZ_SECONDS:-15}"
mkdir -p "$OUT"
CXX="${CLANGXX:-clang++}"
"$CXX" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$ROOT/app" -I"$ROOT/platform" $(pkg-config --cflags jsoncpp) \
  "$ROOT/tests/TemplateExport/fuzz/FuzzExportReply.cpp" "$ROOT/app/Template/TemplateExportMapping.cpp" \
  $(pkg-config --libs jsoncpp) -o "$OUT/fuzz_export_reply"
corpus="$OUT/corpus-export-reply"
mkdir -p "$corpus"
cp -n "$ROOT/tests/TemplateExport/fuzz/corpus"/* "$corpus/" 2>/dev/null || true
echo "--- fuzz_export_reply (${SECONDS_PER_TARGET}s)"
"$OUT/fuzz_export_reply" -max_total_time="$SECONDS_PER_TARGET" -max_len=12000 -rss_limit_mb=2048 \
  -artifact_prefix="$OUT/crash-export-reply-" "$corpus" 2>&1 | tail -n 3
exit "${PIPESTATUS[0]}"
