#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program against its embedded emulated devices.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
BIN=build/bin/vantyx-config
if [ ! -x "$BIN" ]; then
  echo "The program is not built yet." >&2
  exit 1
fi
# Devices are emulated on loopback; keep the program's traffic on this machine.
# The cloud update service stand-in runs beside it (scripts/run-with-cloud.sh).
if scripts/in-netns.sh true 2>/dev/null; then
  exec scripts/in-netns.sh scripts/run-with-cloud.sh "$BIN"
fi
exec scripts/run-with-cloud.sh "$BIN"
