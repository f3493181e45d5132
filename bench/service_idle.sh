#!/bin/bash
# The service launcher while its Java runs, measured as bench/wine_startup.sh
# measures the launcher's wait: for each build that runs here
# (scripts/wine_builds.sh; CORVANE_BUILDS narrows it), launchersvc.exe is
# installed as agent.exe under Wine's service control manager and started,
# with a stand-in Java (tests/e2e/helpers/fake_java.c) that holds until it is
# released; the running service's process (/proc/<pid>, all threads) is read
# from 2 s to 10 s after the start: resident memory, CPU time, context
# switches and threads. Everything runs on one CPU (bench/one_cpu.sh), in a
# private 64-bit Wine prefix under /tmp, removed at the end.        bench/service_idle.sh
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/one_cpu.sh"
builds=$("$root/scripts/wine_builds.sh") || exit 1
work=$(mktemp -d /tmp/corvane-service-idle.XXXXXX)
wine64=/usr/lib/wine/wine64
wineserver64=/usr/lib/wine/wineserver64
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
cleanup() {
  "$wineserver64" -k 2>/dev/null || true  # this prefix's server and its processes only
  rm -rf "$work"
}
trap cleanup EXIT

say() { printf '%s\n' "$*" >&2; }
. "$root/bench/proc_sample.sh"  # cpu_ns, switches, rss_kib, thread_count
wine() { "$wine64" "$@"; }

# The first boot leaves two services.exe, each answering part of the calls:
# the server starts again after it (as tests/e2e/harness/wine.py does).
make_prefix() {
  mkdir -p "$WINEPREFIX"
  "$wineserver64" -p >/dev/null 2>&1
  wine wineboot -i >/dev/null 2>&1
  "$wineserver64" -k
  "$wineserver64" -w
  "$wineserver64" -p >/dev/null 2>&1
}

# The running service's process: agent.exe of this prefix.
service_pid() {
  local entry
  for entry in /proc/[0-9]*; do
    [ "$(cat "$entry/comm" 2>/dev/null)" = agent.exe ] || continue
    { tr '\0' '\n' <"$entry/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" || continue
    echo "${entry#/proc/}"
    break
  done
}

measure() {
  local build=$1 dir=$WINEPREFIX/drive_c/svc
  mkdir -p "$dir/java"
  cp "$root/build/$build/launchersvc.exe" "$dir/agent.exe"
  cp "$work/java.exe" "$dir/java/java.exe"
  printf 'mainclass Main\r\njavapath C:\\svc\\java\\java.exe\r\n' >"$dir/agent.config"
  printf 'CORVANE_E2E_JAVA_HOLD=C:\\svc\\release\n' >"$dir/java/stand-in.env"
  rm -f "$dir/release"
  (cd "$dir" && wine 'C:\svc\agent.exe' install >/dev/null 2>&1 && wine 'C:\svc\agent.exe' start 2>&1 >/dev/null) |
    sed 's/^/  /' >&2
  sleep 2
  local pid; pid=$(service_pid)
  [ -n "$pid" ] || { say "the service does not run"; exit 1; }
  local cpu0 sw0 rss0 cpu1 sw1 rss1 threads
  cpu0=$(cpu_ns "$pid"); sw0=$(switches "$pid"); rss0=$(rss_kib "$pid")
  sleep 8
  cpu1=$(cpu_ns "$pid"); sw1=$(switches "$pid"); rss1=$(rss_kib "$pid"); threads=$(thread_count "$pid")
  [ -n "$rss0" ] && [ -n "$rss1" ] || { say "the service ended before the measurement did"; exit 1; }
  : >"$dir/release"
  (cd "$dir" && wine 'C:\svc\agent.exe' uninstall >/dev/null 2>&1)
  awk -v l="[$build] launchersvc.exe, running as a service" -v c="$((cpu1 - cpu0))" \
    -v s="$((sw1 - sw0))" -v r0="$rss0" -v r1="$rss1" -v t="$threads" \
    'BEGIN { printf "| %s | %d / %d KiB | %.3f ms | %d | %d |\n", l, r0, r1, c / 1e6, s, t }'
}

x86_64-w64-mingw32-gcc -std=c99 -O2 -s -mconsole -o "$work/java.exe" \
  "$root/tests/e2e/helpers/fake_java.c"
make_prefix
echo "| build, program | VmRSS at 2 s / 10 s | CPU time, 2 to 10 s | context switches, 2 to 10 s | threads |"
echo "|---|---|---|---|---|"
while read -r line; do
  case $line in *": runs") measure "${line%%:*}" ;; *) say "$line" ;; esac
done <<<"$builds"
