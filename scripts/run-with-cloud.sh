#!/usr/bin/env bash
# Runs a command beside the cloud update service stand-in: starts build/bin/cloudsvc on a free
# loopback port with a catalog for the emulated devices, points VX_CLOUD_URL at it, runs the
# command and stops the service again. Without the stand-in (or with VX_CLOUD_URL already set)
# the command runs alone.
set -uo pipefail
cd "$(dirname "$0")/.."
SVC=build/bin/cloudsvc
if [ -n "${VX_CLOUD_URL:-}" ] || [ ! -x "$SVC" ]; then
  exec "$@"
fi
if [ -n "${VX_DEVSIM_FLEET:-}" ] && [ -f "${VX_DEVSIM_FLEET}" ]; then
  catalog=(--fleet "$VX_DEVSIM_FLEET")
else
  catalog=(--default-fleet "${VX_DEVSIM_FIRST:-127.0.0.2}")
fi
coproc CLOUD { exec "$SVC" --host 127.0.0.1 --port 0 "${catalog[@]}"; }
svc_pid=$CLOUD_PID
url=""
read -r -t 5 url <&"${CLOUD[0]}" || true
if [ -z "$url" ]; then
  echo "The cloud update service stand-in did not start; cloud upgrade checks will fail." >&2
  kill "$svc_pid" 2>/dev/null
  exec "$@"
fi
export VX_CLOUD_URL="$url"
# The command runs as a child so that a signal to this script ends both it and the service.
"$@" &
app_pid=$!
trap 'kill "$app_pid" 2>/dev/null' INT TERM HUP
rc=0
while kill -0 "$app_pid" 2>/dev/null; do
  wait "$app_pid"
  rc=$?
done
kill "$svc_pid" 2>/dev/null
wait "$svc_pid" 2>/dev/null
exit $rc
