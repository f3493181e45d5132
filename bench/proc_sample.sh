# What /proc tells of a running process, for bench/wine_startup.sh (sourced).
# A thread may end between the listing of /proc/<pid>/task and the reading of
# its files, and the process itself at any time: nothing here fails for that.
# A thread that is gone is left out; a process that is gone reads as no RSS.
# PROC names another directory laid out as /proc (bench/proc_sample_test.sh).

# The contents of file $2 of each thread of process $1 that is still there.
thread_files() {
  local file
  for file in "${PROC:-/proc}/$1"/task/*/"$2"; do cat "$file" 2>/dev/null || true; done
}

# Sums over the threads: nanoseconds on the CPU, and context switches.
cpu_ns() { thread_files "$1" schedstat | awk '{ n += $1 } END { print n + 0 }'; }
switches() { thread_files "$1" status | awk '/ctxt_switches/ { n += $2 } END { print n + 0 }'; }

# Resident memory in KiB; nothing when the process is gone.
rss_kib() { awk '/^VmRSS/ { print $2 }' "${PROC:-/proc}/$1/status" 2>/dev/null || true; }

# The threads listed (0 when the process is gone).
thread_count() {
  local tasks=("${PROC:-/proc}/$1"/task/*/)
  if [ -d "${tasks[0]}" ]; then echo "${#tasks[@]}"; else echo 0; fi
}
