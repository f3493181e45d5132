#!/bin/bash
# bench/proc_sample.sh on a directory laid out as /proc, under the options
# of bench/wine_startup.sh: a thread whose files vanish between the listing
# and the reading (a dangling link: listed, then unreadable) is left out, and
# a process that is gone reads as such; neither stops the script.
set -Eeuo pipefail
trap 'echo "stopped: status $? at line $LINENO: $BASH_COMMAND" >&2' ERR
. "$(dirname "$0")/proc_sample.sh"
PROC=$(mktemp -d)
trap 'rm -rf "$PROC"' EXIT

thread() {  # pid, thread id, nanoseconds on the CPU, context switches
  mkdir -p "$PROC/$1/task/$2"
  echo "$3 0 0" >"$PROC/$1/task/$2/schedstat"
  printf 'voluntary_ctxt_switches:\t%s\nnonvoluntary_ctxt_switches:\t1\n' "$4" \
    >"$PROC/$1/task/$2/status"
}
thread 40 40 1000 5
thread 40 42 250 2
mkdir -p "$PROC/40/task/41"
ln -s gone "$PROC/40/task/41/schedstat"
ln -s gone "$PROC/40/task/41/status"
printf 'Name:\tjava\nVmRSS:\t    2048 kB\n' >"$PROC/40/status"

# Assigned as the benchmark assigns them: a failure here stops the script.
cpu=$(cpu_ns 40); switched=$(switches 40); rss=$(rss_kib 40); threads=$(thread_count 40)
gone_cpu=$(cpu_ns 77); gone_rss=$(rss_kib 77); gone_threads=$(thread_count 77)
failures=0
expect() {
  if [ "$2" != "$3" ]; then echo "$1: '$2', not '$3'"; failures=$((failures + 1)); fi
}
expect "CPU time" "$cpu" 1250
expect "context switches" "$switched" 9
expect "RSS" "$rss" 2048
expect "threads" "$threads" 3
expect "CPU time of a process gone" "$gone_cpu" 0
expect "RSS of a process gone" "$gone_rss" ""
expect "threads of a process gone" "$gone_threads" 0
[ "$failures" = 0 ] && echo "proc_sample: all as expected"
exit "$failures"
