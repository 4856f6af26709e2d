#!/usr/bin/env bash
# The proxy client's tests (port mappings, C interface, device-side proxy server, end to end) again
# under ThreadSanitizer, in the sanitizer build the other P2P steps use, inside a namespace with loopback up.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
case "$BUILD" in /*) ;; *) BUILD="$ROOT/$BUILD" ;; esac
source "$ROOT/scripts/test.d/lib/checks.sh"
tsan_build -j4 --target proxy_client_test
# the tests that only wait out connect limits (about 10 s each) add nothing under the sanitizer
tsan_test 600 proxy_client_test \
  --gtest_filter='-*NeverConnects*:*DropsDeadChannels*:*MappingWithoutChannel*' --gtest_brief=1
