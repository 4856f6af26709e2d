#!/usr/bin/env bash
# A new user's session with the program, driven by mouse and keys under a virtual X server,
# with a screenshot after each step. Not run by the tests.
#   scripts/userpass.sh [build-dir] [shot-dir]
# Needs xvfb, xdotool and imagemagick (scripts/deps.d/userpass.txt). Runs itself inside a
# network namespace with only loopback up. The program works on a copy of its folder, so the
# build's own settings stay as they are.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
shots=$(mkdir -p "${2:-$build/userpass}" && cd "${2:-$build/userpass}" && pwd)

if [ -z "${VX_USERPASS_INNER:-}" ]; then
  exec "$here/scripts/in-netns.sh" env VX_USERPASS_INNER=1 "$0" "$build" "$shots"
fi

work=$(mktemp -d)
cp -a "$build/bin/." "$work/"
# The X server picks a free display itself and names it.
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$work/display" >"$shots/xvfb.log" 2>&1 &
xvfb=$!
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

n=0
shot() { n=$((n + 1)); import -window root "$shots/$(printf %02d "$n")-$1.png"; echo "shot $n: $1"; }
# click X Y [wait seconds]: positions are on the screen; the window opens at (140, 100).
click() { xdotool mousemove "$1" "$2" click 1; sleep "${3:-0.5}"; }
dclick() { xdotool mousemove "$1" "$2" click --repeat 2 --delay 80 1; sleep "${3:-0.5}"; }
typein() { xdotool mousemove "$1" "$2" click 1 key ctrl+a BackSpace type "$3"; sleep 0.2; }
start() {
  (cd "$work" && exec ./vantyx-config >"$shots/app$1.log" 2>&1) &
  app=$!
  for _ in $(seq 100); do xdotool search --name "Vantyx Config" >/dev/null 2>&1 && break; sleep 0.1; done
  sleep "${2:-3}"
}
stop() {
  click 1115 119 0
  for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$app" 2>/dev/null; then echo "the program did not close within 10 s"; kill "$app"; fi
  wait "$app" 2>/dev/null || true
  app=""
}

# Start-up and the device list.
start 1
shot startup
typein 962 220 "VX9"; click 1059 220 1; shot search-text
typein 962 220 ""; xdotool key Return; sleep 1
click 346 201; click 580 278 1; shot ipc-off-sorted-by-model
click 236 313; click 236 403; click 560 433; shot two-ticked-one-selected
click 1062 433 2; shot details
click 926 238

# Search Setting: a range search with the devices' password.
click 697 142 1; shot search-setting
click 708 352
typein 463 432 "127.0.0.2"; typein 743 432 "127.0.0.5"
typein 820 482 "admin123"
shot search-setting-filled
click 895 592 4; shot after-range-search
click 236 201; click 604 140 5; shot refreshed

# Setting dialog.
click 1055 119; shot menu
click 1080 246 1; shot setting
xdotool mousemove 672 413; sleep 1.5; shot setting-path-tooltip
click 845 617 1

# Batch Modify IP on the two devices of one model (rows arrive in any order, so filter first).
typein 962 220 "IPC-VD5241"; click 1059 220 1
click 236 313; click 236 343
click 413 774 1; shot modify-ip
typein 540 417 "127.0.0.40"; typein 540 467 "255.0.0.0"; typein 540 517 "127.0.0.1"
click 874 586 6; shot modify-ip-results
xdotool mousemove 751 314; sleep 1.5; shot modify-ip-result-tooltip
click 751 314 1; shot modify-ip-result-details
xdotool key Escape; sleep 0.5
typein 962 220 ""; xdotool key Return; sleep 0.5
click 604 140 5; shot after-modify-refresh

# Activate the uninitialised camera at 127.0.0.5.
typein 962 220 "127.0.0.5"; click 1059 220 1
click 236 313; click 283 774 1.5; shot activate-list
click 935 627 1.5; shot init-password
typein 652 367 "admin123"; typein 652 435 "admin123"; typein 652 545 "13800000000"
shot init-password-filled
click 840 652 1.5; shot init-cloud
click 879 628 4; shot init-result
click 935 637 1; shot init-done
typein 962 220 ""; xdotool key Return; sleep 0.5

# System configuration: time, NTP, reboot.
click 174 385 2; shot sysconfig
click 232 233; click 272 248; shot sysconfig-ticked
click 894 288 3; shot sync-pc
click 459 612; click 1024 766 3; shot ntp-saved
click 605 207 1; shot reboot-tab
click 523 495 1; shot reboot-ask
click 592 492 3; shot rebooted

# Upgrade page.
click 174 453 2; shot upgrade

# Device configuration: pick a device, log in, live video, tabs.
click 174 317 2; shot devconfig
click 270 200 1; click 772 590 4; shot devconfig-logged-in
click 563 207 4; shot devconfig-image-live
click 687 207 2; shot devconfig-filemanage

# Close.
stop
shot closed

# Chinese.
sed -i 's/<Language value="[0-9]*"/<Language value="1"/' "$work/Config/config.xml"
start 2
shot chinese-startup
click 697 142 1; shot chinese-search-setting
click 926 299
click 174 385 2; shot chinese-sysconfig
click 174 249 1
typein 962 220 "127.0.0.5"; click 1059 220 1
click 236 313; click 283 774 1; xdotool key Return; sleep 1.5; shot chinese-init
click 871 239
stop
echo "screenshots in $shots"
