# Sourced first by the Wine benchmarks: a failing command ends the script
# with a line that names it, and the script runs again on one CPU (BENCH_CPU,
# default 0; empty for no pinning): on a virtual machine, a run whose
# processes wake each other across CPUs takes at times twice as long, which
# drowns the differences being measured.
set -Eeuo pipefail
trap 'echo "stopped: status $? at line $LINENO: $BASH_COMMAND" >&2' ERR
cpu=${BENCH_CPU-0}
if [ -n "$cpu" ] && [ -z "${BENCH_PINNED:-}" ]; then
  BENCH_PINNED=1 exec taskset -c "$cpu" "$0" "$@"
fi
