#!/bin/sh
# Runs each fuzz harness for a bounded time (FUZZ_SECONDS, default 60), from
# its seed corpus in tests/fuzz/corpus, as many at once as there are
# processors (FUZZ_JOBS). Fails when any harness finds a crash, a leak, a hang
# or a broken property; the input that found it is kept in build/fuzz/artifacts.
#
# The harnesses, and how each is fuzzed, are the lines of
# tests/fuzz/harnesses.txt. Three things buy speed. AddressSanitizer records
# no allocation stacks (malloc_context_size=0): recording one for each block
# cost a launch-sized harness a fifth of its time, and replaying the kept
# input in build/asan (build/asan/tests/fuzz/<harness>_fuzz <input>) shows
# them. The harnesses whose every byte of input costs a pass of the launcher
# get a bound on the input's length (the list's third column), past which
# they find no more. And the two that run a whole launch or search for each
# input, where AddressSanitizer costs two thirds of the time, fuzz in the
# fuzz-fast build (UBSan alone; the list's second column); then every input
# of their corpus, the seeds and all that the run kept, is run again under
# AddressSanitizer, and a finding there fails as any other.
set -eu
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
jobs=${FUZZ_JOBS:-$(nproc)}
list=tests/fuzz/harnesses.txt
harnesses=$(awk '/^[a-z]/ { print $1 }' "$list")

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
cmake --preset fuzz-fast >/dev/null
cmake --build --preset fuzz-fast
mkdir -p build/fuzz/artifacts build/fuzz/logs

# Column $2 of harness $1's line in the list.
listed() { awk -v name="$1" -v column="$2" '$1 == name { print $column }' "$list"; }
buildOf() { listed "$1" 2; }
maxLength() { listed "$1" 3; }

# The corpus, seeds and kept inputs, once more under AddressSanitizer.
replay_under_asan() {
  name=$1
  ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=0}" "build/fuzz/tests/fuzz/${name}_fuzz" \
    -runs=0 -timeout=10 -rss_limit_mb=4096 -artifact_prefix="build/fuzz/artifacts/$name-" \
    "build/fuzz/corpus/$name" "tests/fuzz/corpus/$name" >>"build/fuzz/logs/$name.log" 2>&1
}

fuzz_one() {
  name=$1
  build=$(buildOf "$name")
  log=build/fuzz/logs/$name.log
  mkdir -p "build/fuzz/corpus/$name"
  dictionary=""
  [ -f "tests/fuzz/$name.dict" ] && dictionary="-dict=tests/fuzz/$name.dict"
  # New inputs go to build/fuzz/corpus; the seeds in tests/ are only read.
  if ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=0}" \
      "build/$build/tests/fuzz/${name}_fuzz" -max_total_time="$seconds" -timeout=10 \
      -max_len="$(maxLength "$name")" \
      -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$name-" \
      $dictionary "build/fuzz/corpus/$name" "tests/fuzz/corpus/$name" >"$log" 2>&1 &&
     { [ "$build" = fuzz ] || replay_under_asan "$name"; }; then
    echo "fuzz $name: $(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | head -1)"
    [ "$build" = fuzz ] ||
      echo "fuzz $name: $(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 | awk '{ print substr($1, 2) }') inputs of its corpus replayed under ASan"
  else
    echo "fuzz $name: FAILED (full log: $log)"
    tail -n 60 "$log"
    echo "Keep the input as a regression case: copy it from build/fuzz/artifacts"
    echo "into tests/fuzz/corpus/$name/ and fix the fault."
    return 1
  fi
}

status=0
set -- $harnesses
while [ $# -gt 0 ]; do
  pids=""
  started=0
  while [ $# -gt 0 ] && [ "$started" -lt "$jobs" ]; do
    fuzz_one "$1" &
    pids="$pids $!"
    shift
    started=$((started + 1))
  done
  for pid in $pids; do wait "$pid" || status=1; done
done
exit $status
