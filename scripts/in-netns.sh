#!/usr/bin/env bash
# Runs a command in a new network namespace with only loopback up.
set -euo pipefail
if [ "$(id -u)" -eq 0 ]; then
  exec unshare -n -- bash -c 'ip link set lo up && exec "$@"' netns "$@"
else
  exec unshare -rn -- bash -c 'ip link set lo up && exec "$@"' netns "$@"
fi
