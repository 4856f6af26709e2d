# Shared by the steps of scripts/test.d (sourced, not a step itself): libFuzzer targets and the
# ThreadSanitizer build. The step sets ROOT (the source tree) and BUILD (the main build folder)
# first, and OUT (its own output folder) before building a fuzz target.

CXX="${CLANGXX:-clang++}"
# The sanitizer build next to the main one, shared by the steps that use it.
TSAN_DIR="$(cd "$BUILD/.." && pwd)/build-tsan"
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 report_signal_unsafe=0"

# Runs a libFuzzer program for SECONDS_PER_TARGET seconds on its corpus, seeded from a folder once,
# with crash files named by a prefix; shows the last lines and answers the fuzzer's status.
# fuzz_run program max_len corpus seeds artifact_prefix [fuzzer options...]
fuzz_run() {
  local program=$1 maxlen=$2 corpus=$3 seeds=$4 prefix=$5
  shift 5
  mkdir -p "$corpus"
  cp -n "$seeds"/* "$corpus/" 2>/dev/null || true
  echo "--- $(basename "$program") (${SECONDS_PER_TARGET}s)"
  "$program" -max_total_time="$SECONDS_PER_TARGET" -max_len="$maxlen" -rss_limit_mb=2048 "$@" \
    -artifact_prefix="$prefix" "$corpus" 2>&1 | tail -n 3
  return "${PIPESTATUS[0]}"
}

# Fuzz targets over the P2P message base: threads, SHA-1, logging, XML and HTTP messages.
P2P_FUZZ_FLAGS=(-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
                -DTIXML_USE_STL -I"$ROOT/p2p")
# The SHA-1 block function checks for CPU features clang's builtin does not name: built by g++,
# uninstrumented, once before the targets.
p2p_fuzz_base() {
  mkdir -p "$OUT"
  g++ -std=c++17 -O2 -c -I"$ROOT/p2p" "$ROOT/p2p/Utils/Sha1Compress.cpp" -o "$OUT/Sha1Compress.o"
}
# Builds OUT/name from the given sources and the base. p2p_fuzz_build name sources...
p2p_fuzz_build() {
  local name=$1
  shift
  "$CXX" "${P2P_FUZZ_FLAGS[@]}" "$@" "$ROOT"/p2p/Infra3/*.cpp "$ROOT/p2p/Utils/Sha1.cpp" "$OUT/Sha1Compress.o" \
    "$ROOT/p2p/P2PSDK/Print.cpp" "$ROOT/p2p/P2PSDK/XmlDocument.cpp" "$ROOT/p2p/P2PSDK/HttpMessage.cpp" \
    "$ROOT/p2p/P2PSDK/WsseTime.cpp" -ltinyxml -lpthread -o "$OUT/$name"
}

# Configures the sanitizer build and builds in it; the arguments go to cmake --build.
tsan_build() {
  cmake -S "$ROOT" -B "$TSAN_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS=-fsanitize=thread -DVX_BUILD_BENCH=OFF >/dev/null
  cmake --build "$TSAN_DIR" "$@"
}

# Runs a test program of the sanitizer build inside a namespace with loopback up, for at most
# limit seconds. tsan_test limit program [arguments...]
tsan_test() {
  local limit=$1 name=$2
  shift 2
  echo "--- $name (ThreadSanitizer)"
  timeout "$limit" "$ROOT/scripts/in-netns.sh" "$TSAN_DIR/bin/$name" "$@"
}
