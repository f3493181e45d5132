#!/bin/sh
# The host tests again, built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer (build/asan): an overrun, a leak or undefined
# behaviour fails them. The fuzz corpora are replayed here too.
set -eu
cd "$(dirname "$0")/.."
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan
