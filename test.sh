#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test in a network namespace with only loopback up.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
exec scripts/in-netns.sh scripts/run-tests.sh
