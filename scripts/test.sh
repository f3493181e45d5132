#!/bin/sh
# Every test: set up the machine, build, run the host unit tests.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
ctest --preset host
