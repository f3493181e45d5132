#!/bin/sh
# Every test: set up the machine, build, run the host unit tests, run the
# launcher end to end under Wine, run the unit tests again under the
# sanitizers, fuzz each harness for a minute, and make the release zip.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
ctest --preset host
python3 tests/e2e/run_e2e.py
scripts/asan.sh
scripts/fuzz.sh
scripts/package.sh
