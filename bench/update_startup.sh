#!/bin/bash
# What the restart and update keys cost a start that has nothing to do:
# median wall time under Wine, in interleaved rounds, of the launcher
#   (n) with a two-line configuration starting a stand-in javaw.exe that
#       ends at once,
#   (u) with the same lines and "updateDirectory update", the folder missing,
#   (r) with the same lines and "restartCode 3", "restartOnFailure 3" (the
#       stand-in ends with 0: no restart),
# for each build this machine runs (scripts/wine_builds.sh; CORVANE_BUILDS
# narrows it). Runs in a private 64-bit prefix under /tmp, removed at the
# end, pinned to one CPU (BENCH_CPU, default 0). Usage:
#     bench/update_startup.sh [rounds]   (default 40)
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/one_cpu.sh"
rounds=${1:-40}
builds=$("$root/scripts/wine_builds.sh") || exit 1
work=$(mktemp -d /tmp/corvane-update-bench.XXXXXX)
wine64=/usr/lib/wine/wine64
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() { /usr/lib/wine/wineserver64 -k 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

"$wine64" wineboot -i >/dev/null 2>&1
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

while IFS= read -r line; do
  build=${line%%:*}
  [ "${line#*: }" = runs ] || { echo "[$build] not run: ${line#*: }"; continue; }
  [ -f "$root/build/$build/launcher.exe" ] && [ -f "$root/build/$build/bench/javaw.exe" ] ||
    { echo "[$build] build the $build preset first"; exit 1; }
  base=$WINEPREFIX/drive_c/bench-$build
  mkdir -p "$base/jre/bin"
  cp "$root/build/$build/bench/javaw.exe" "$base/jre/bin/javaw.exe"
  lines="mainclass Bench\njavapath C:\\\\bench-$build\\\\jre\\\\bin\\\\javaw.exe\n"
  for variant in n u r; do
    mkdir -p "$base/$variant"
    cp "$root/build/$build/launcher.exe" "$base/$variant/app.exe"
    case $variant in
      n) extra="" ;;
      u) extra="updateDirectory update\n" ;;
      r) extra="restartCode 3\nrestartOnFailure 3\n" ;;
    esac
    printf "$lines$extra" >"$base/$variant/app.config"
  done
  for round in $(seq -3 "$rounds"); do  # three rounds of warming up
    for variant in n u r; do
      started=$(date +%s%N)
      "$wine64" "C:\\bench-$build\\$variant\\app.exe"
      ended=$(date +%s%N)
      [ "$round" -gt 0 ] && echo $((ended - started)) >>"$work/$build-$variant"
    done
  done
  n=$(median <"$work/$build-n"); u=$(median <"$work/$build-u"); r=$(median <"$work/$build-r")
  awk -v b="$build" -v k="$rounds" -v n="$n" -v u="$u" -v r="$r" 'BEGIN {
    printf "[%s] %d rounds, median ms: (n) %.2f, (u) %.2f, (r) %.2f; u - n %+.2f, r - n %+.2f\n",
           b, k, n / 1e6, u / 1e6, r / 1e6, (u - n) / 1e6, (r - n) / 1e6 }'
done <<<"$builds"
