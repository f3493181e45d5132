#!/bin/sh
# The size budgets of the shipped exes, each without its icons, that is its
# size less the bytes of its icon-image (type 3) and icon-group (type 14)
# resources; the manifest and everything else count: build/win32/launcher.exe
# at most 48 KiB (49,152 bytes), and launchersvc.exe, the service launcher, at
# most 56 KiB (57,344 bytes). launcherc.exe and [win64] are shown beside them.
# Needs icoutils (wrestool).
#     bench/exe_size.sh
set -eu
cd "$(dirname "$0")/.."
status=0
echo "| build | exe | exe bytes | icon resources | without icons | budget |"
echo "|---|---|---|---|---|---|"
for build in win32 win64; do
  for name in launcher launcherc launchersvc; do
    exe=build/$build/$name.exe
    [ -f "$exe" ] || { echo "$exe is missing: scripts/build.sh builds it" >&2; exit 1; }
    size=$(stat -c %s "$exe")
    icons=$(wrestool -l "$exe" | awk -F'size=' '/--type=(3|14) / { sub(/].*/, "", $2); total += $2 }
                                                END { print total + 0 }')
    without=$((size - icons))
    budget=""
    [ $build = win32 ] && [ $name = launcher ] && budget=49152
    [ $build = win32 ] && [ $name = launchersvc ] && budget=57344
    verdict="for information"
    if [ -n "$budget" ]; then
      verdict="$budget: met"
      [ $without -le $budget ] || { verdict="$budget: OVER"; status=1; }
    fi
    echo "| [$build] | $name.exe | $size | $icons | $without | $verdict |"
  done
done
exit $status
