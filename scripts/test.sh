#!/bin/sh
# Every test: set up the machine, build, run the host unit tests, run them
# again under the sanitizers, and fuzz each harness for a minute.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
ctest --preset host
scripts/asan.sh
scripts/fuzz.sh
