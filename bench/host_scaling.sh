#!/bin/sh
# How the launcher's configuration reading, expansion, jar listing, version
# resolution and command-line assembly grow with their input, measured with
# Google Benchmark in an optimized host build (build/bench-host) against the
# fake platform. Arguments go to the benchmark program, e.g.
#   bench/host_scaling.sh --benchmark_filter=CommandLine
set -eu
cd "$(dirname "$0")/.."
flock /tmp/corvane-build.lock sh -c '
  cmake -S . -B build/bench-host -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF >/dev/null &&
  cmake --build build/bench-host >/dev/null'
exec build/bench-host/bench/scaling_bench "$@"
