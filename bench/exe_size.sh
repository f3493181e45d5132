#!/bin/sh
# The size budget of the shipped exe: build/win32/launcher.exe at most 48 KiB
# (49,152 bytes) without its icons, that is its size less the bytes of its
# icon-image (type 3) and icon-group (type 14) resources; the manifest and
# everything else count. [win64] is shown beside it. Needs icoutils (wrestool).
#     bench/exe_size.sh
set -eu
cd "$(dirname "$0")/.."
budget=49152
status=0
echo "| build | exe bytes | icon resources | without icons | budget |"
echo "|---|---|---|---|---|"
for build in win32 win64; do
  exe=build/$build/launcher.exe
  [ -f "$exe" ] || { echo "$exe is missing: scripts/build.sh builds it" >&2; exit 1; }
  size=$(stat -c %s "$exe")
  icons=$(wrestool -l "$exe" | awk -F'size=' '/--type=(3|14) / { sub(/].*/, "", $2); total += $2 }
                                              END { print total + 0 }')
  without=$((size - icons))
  verdict=""
  if [ $build = win32 ]; then
    verdict="met"
    [ $without -le $budget ] || { verdict="OVER"; status=1; }
  fi
  echo "| [$build] | $size | $icons | $without | ${verdict:-for information} |"
done
exit $status
