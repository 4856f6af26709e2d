#!/usr/bin/env bash
# Start-up benchmark of the program with its embedded devices under a virtual X server: the time
# from process start to the main window's first paint, and the peak memory of the whole run.
# Usage: bench/Main/startup.sh [build dir] [runs]   (default: build, 5 runs)
# Goals: first paint under 400 ms, peak memory under 80 MiB.
set -euo pipefail
build=${1:-build}
runs=${2:-5}
program=$build/bin/vantyx-config-selftest
[ -x "$program" ] || { echo "no program at $program" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
paints=()
peaks=()
for i in $(seq 1 "$runs"); do
  log=$work/run$i.log
  xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    start=$(date +%s%3N)
    echo "start-epoch-ms=$start" >&2
    VX_SELFTEST_SCREENSHOT='"$work"'/shot.png VX_SELFTEST_DELAY_MS=0 exec "$0"' "$program" >"$log" 2>&1
  start=$(sed -n 's/^start-epoch-ms=//p' "$log")
  paint=$(sed -n 's/^first-paint-epoch-ms=//p' "$log")
  peak=$(sed -n 's/^peak-rss-kib=//p' "$log")
  paints+=($((paint - start)))
  peaks+=("$peak")
done
summary() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {printf "min %d, median %d, max %d", a[1], a[int((NR+1)/2)], a[NR]}'; }
echo "runs: $runs"
echo "first paint after start (ms): $(summary "${paints[@]}")  [goal < 400]"
echo "peak memory (KiB): $(summary "${peaks[@]}")  [goal < 81920]"
