#!/usr/bin/env bash
# Installs with apt whatever the build, the tests and the program need and is missing.
# Features that need more packages list them, one a line, in scripts/deps.d/*.txt.
set -euo pipefail
cd "$(dirname "$0")"
PKGS=(
  build-essential cmake ninja-build ccache pkg-config clang libclang-rt-dev
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl1-mesa-dev
  libjsoncpp-dev libtinyxml-dev libboost-dev libssl-dev openssl libqrencode-dev libsqlite3-dev sqlite3
  libgtest-dev libgmock-dev libbenchmark-dev
  libxlsxwriter-dev libzip-dev libfreexl-dev p7zip-full
  python3 python3-openpyxl xvfb xauth iproute2 util-linux
)
for f in deps.d/*.txt; do
  [ -e "$f" ] || continue
  while read -r p _; do
    case $p in ''|'#'*) continue ;; esac
    PKGS+=("$p")
  done < "$f"
done
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
