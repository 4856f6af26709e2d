#!/usr/bin/env bash
# Start-up benchmark of the program with its embedded devices under a virtual X server: the time
# from process start to the main window's first paint, beside that of a bare Qt 6 window of the
# same size (bin/bare_window) started the same way in the same run, and the peak memory.
# Usage: bench/Main/startup.sh [build dir] [runs]   (default: build, 5 runs)
# Goals: first paint within 1.5 times the bare window's, peak memory under 80 MiB.
set -euo pipefail
build=${1:-build}
runs=${2:-5}
program=$build/bin/vantyx-config-selftest
[ -x "$program" ] || { echo "no program at $program" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bare=$build/bin/bare_window
[ -x "$bare" ] || { echo "no reference window at $bare" >&2; exit 1; }
paints=()
bares=()
peaks=()
for i in $(seq 1 "$runs"); do
  # The reference first, under the same kind of server, alternating with the program.
  blog=$work/bare$i.log
  xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    start=$(date +%s%6N)
    echo "start-epoch-us=$start" >&2
    exec "$0"' "$bare" >"$blog" 2>&1
  bstart=$(sed -n 's/^start-epoch-us=//p' "$blog")
  bpaint=$(sed -n 's/^first-paint-epoch-us=//p' "$blog")
  bares+=($((bpaint - bstart)))
  log=$work/run$i.log
  xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    start=$(date +%s%6N)
    echo "start-epoch-us=$start" >&2
    VX_SELFTEST_SCREENSHOT='"$work"'/shot.png VX_SELFTEST_DELAY_MS=0 exec "$0"' "$program" >"$log" 2>&1
  start=$(sed -n 's/^start-epoch-us=//p' "$log")
  paint=$(sed -n 's/^first-paint-epoch-us=//p' "$log")
  peak=$(sed -n 's/^peak-rss-kib=//p' "$log")
  paints+=($((paint - start)))
  peaks+=("$peak")
done
summary() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {printf "min %d, median %d, max %d", a[1], a[int((NR+1)/2)], a[NR]}'; }
# Times are taken in microseconds and shown in milliseconds.
summary_ms() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {printf "min %.1f, median %.1f, max %.1f", a[1] / 1000, a[int((NR+1)/2)] / 1000, a[NR] / 1000}'; }
echo "runs: $runs"
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
echo "first paint after start (ms): $(summary_ms "${paints[@]}")"
echo "bare Qt 6 window of the same size (ms): $(summary_ms "${bares[@]}")"
echo "median ratio: $(awk -v a="$(median "${paints[@]}")" -v b="$(median "${bares[@]}")" 'BEGIN {printf "%.2f", a / b}')  [goal <= 1.5]"
echo "peak memory (KiB): $(summary "${peaks[@]}")  [goal < 81920]"
