#!/bin/sh
# Lists the skin image names that the shell, the widget framework and the stand-in pages use but
# that are missing from the painted skin folder; exits 1 when any is missing.
#   scripts/skin-names.sh <skin folder>
# Names are the ".png"/".ico" literals of the code, plus <base>_nor/_hov/_pre/_dis for the bases
# handed to helpers that append those suffixes.
set -eu
skin=${1:?usage: skin-names.sh <skin folder>}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
sources="app/Main app/Widgets app/IPConfig app/DevInit"
used=$( {
  grep -rhoE '"[A-Za-z0-9_./-]+\.(png|ico)"' $sources --include='*.cpp' --include='*.h' |
    tr -d '"' | sed 's#.*/##' | grep -v '^_'
  # Helpers that build the four state names from a base: the files that append "_nor.png" pass the
  # base as the last literal of each call of their local "button" helper.
  for f in $(grep -rlE '\+ L"_nor\.png"' $sources --include='*.cpp'); do
    grep -oE 'button\(.*L"[A-Za-z0-9_]+"\)' "$f" | sed -E 's/.*L"([A-Za-z0-9_]+)"\)$/\1/' |
      while read -r base; do
        for s in nor hov pre dis; do echo "${base}_$s.png"; done
      done
  done
} | sort -u )
missing=0
for name in $used; do
  case $name in */*) continue ;; esac
  if [ ! -f "$skin/$name" ]; then
    echo "missing: $name"
    missing=1
  fi
done
exit $missing
