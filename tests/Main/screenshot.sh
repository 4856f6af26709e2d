#!/usr/bin/env bash
# Runs the program with its embedded devices under a virtual X server, takes a screenshot of the
# main window, checks that it is not blank, closes the program through its close button and
# checks the exit code. Usage: screenshot.sh <program> <png>
set -euo pipefail
program=$1
png=$2
log=${png%.png}.log
rm -f "$png"
status=0
VX_SELFTEST_SCREENSHOT="$png" VX_SELFTEST_DELAY_MS=2500 timeout 90 \
  xvfb-run -a -s "-screen 0 1280x800x24" "$program" >"$log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  echo "program exited with $status"; tail -20 "$log"; exit 1
fi
[ -s "$png" ] || { echo "no screenshot written"; tail -20 "$log"; exit 1; }
grep -q "first-paint-epoch-ms=" "$log" || { echo "no first paint reported"; exit 1; }
# Not blank: the picture has many distinct colours.
python3 - "$png" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
pos, idat, w, h, ctype = 8, b"", 0, 0, 0
while pos < len(data):
    n, kind = struct.unpack(">I4s", data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + n]
    if kind == b"IHDR":
        w, h, depth, ctype = struct.unpack(">IIBB", body[:10])
    elif kind == b"IDAT":
        idat += body
    pos += 12 + n
raw = zlib.decompress(idat)
bpp = {2: 3, 6: 4}.get(ctype, 4)
stride = w * bpp + 1
colours = set()
for y in range(0, h, 7):
    row = raw[y * stride + 1:(y + 1) * stride]
    for x in range(0, w, 7):
        colours.add(bytes(row[x * bpp:x * bpp + 3]))
print("screenshot %dx%d, %d sampled colours" % (w, h, len(colours)))
if w < 900 or h < 600 or len(colours) < 8:
    sys.exit("screenshot looks blank")
PY
echo "program closed with exit code 0"
