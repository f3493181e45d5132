#!/bin/sh
# How long the brand tool takes to brand a launcher exe (budget: under 0.1 s):
# build/host/corvane-brand brands each build's launcher.exe with the example's
# icon and a version record ROUNDS times (default 50); the median and the
# slowest wall-clock time of one branding are printed.
#     bench/brand_speed.sh [ROUNDS]
set -eu
cd "$(dirname "$0")/.."
rounds=${1:-50}
tool=build/host/corvane-brand
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for build in win32 win64; do
  exe=build/$build/launcher.exe
  for required in "$tool" "$exe"; do
    [ -f "$required" ] || { echo "$required is missing: scripts/build.sh builds it" >&2; exit 1; }
  done
  : > "$work/times"
  i=0
  while [ $i -lt "$rounds" ]; do
    start=$(date +%s%N)
    "$tool" "$exe" "$work/viewer.exe" --icon examples/branding/viewer.ico \
      --product-name "Example Viewer" --company "Example Ltd" --file-version 2.1.0 \
      --copyright "(c) 2026 Example Ltd"
    end=$(date +%s%N)
    echo $(((end - start) / 1000)) >> "$work/times"
    i=$((i + 1))
  done
  sort -n "$work/times" > "$work/sorted"
  median=$(sed -n "$(((rounds + 1) / 2))p" "$work/sorted")
  slowest=$(tail -n 1 "$work/sorted")
  verdict=met
  [ "$slowest" -lt 100000 ] || { verdict=OVER; status=1; }
  echo "[$build] $rounds brandings: median $((median / 1000)).$(((median % 1000) / 100)) ms," \
    "slowest $((slowest / 1000)).$(((slowest % 1000) / 100)) ms (budget 100 ms: $verdict)"
done
exit $status
