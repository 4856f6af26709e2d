#!/usr/bin/env bash
# Builds the offline template reader of the cloud-upgrade page with libFuzzer and AddressSanitizer
# (clang) and runs it for a short time.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-cloud-template-fuzz"
SECONDS_PER_TARGET="${CLOUD_TEMPLATE_FUZZ_SECONDS:-15}"
mkdir -p "$OUT"
CXX="${CLANGXX:-clang++}"
"$CXX" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$ROOT/app" -I"$ROOT/platform" "$ROOT/tests/CloudOffline/fuzz/FuzzCloudTemplate.cpp" \
  "$ROOT/app/CloudUpgrade/CloudTemplate.cpp" -o "$OUT/fuzz_cloud_template"
corpus="$OUT/corpus"
mkdir -p "$corpus"
cp -n "$ROOT/tests/CloudOffline/fuzz/corpus"/* "$corpus/" 2>/dev/null || true
echo "--- fuzz_cloud_template (${SECONDS_PER_TARGET}s)"
"$OUT/fuzz_cloud_template" -max_total_time="$SECONDS_PER_TARGET" -max_len=65536 -rss_limit_mb=2048 \
  -artifact_prefix="$OUT/crash-" "$corpus" 2>&1 | tail -n 3
exit "${PIPESTATUS[0]}"
