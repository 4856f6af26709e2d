#!/usr/bin/env bash
# Builds the add-on tool readers (tool list in the settings file with AppInfo.xml, the archiver's
# table of contents) with libFuzzer and AddressSanitizer (clang), and runs each for a short time.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
OUT="$(cd "$BUILD/.." && pwd)/build-addon-fuzz"
SECONDS_PER_TARGET="${ADDON_FUZZ_SECONDS:-15}"
mkdir -p "$OUT"
CXX="${CLANGXX:-clang++}"
FLAGS=(-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -DTIXML_USE_STL -I"$ROOT/app")
"$CXX" "${FLAGS[@]}" "$ROOT/tests/OtherTool/fuzz/FuzzToolList.cpp" "$ROOT/app/OtherTool/ToolPackage.cpp" \
  -ltinyxml -o "$OUT/fuzz_tool_list" &
"$CXX" "${FLAGS[@]}" "$ROOT/tests/OtherTool/fuzz/FuzzArchiveListing.cpp" "$ROOT/app/OtherTool/ToolPackage.cpp" \
  -ltinyxml -o "$OUT/fuzz_archive_listing" &
wait
run() {
  local name=$1 seeds=$2
  local corpus="$OUT/corpus-$name"
  mkdir -p "$corpus"
  cp -n "$ROOT/tests/OtherTool/fuzz/corpus/$seeds"/* "$corpus/" 2>/dev/null || true
  echo "--- $name (${SECONDS_PER_TARGET}s)"
  "$OUT/$name" -max_total_time="$SECONDS_PER_TARGET" -max_len=65536 -rss_limit_mb=2048 \
    -artifact_prefix="$OUT/crash-$name-" "$corpus" 2>&1 | tail -n 3
  return "${PIPESTATUS[0]}"
}
rc=0
run fuzz_tool_list toollist || rc=1
run fuzz_archive_listing listing || rc=1
exit $rc
