#!/bin/sh
# The main job: set up the machine, build the launcher, and run the example
# application through it under Wine, showing what the launcher did.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
ls -l build/win32/launcher.exe
python3 examples/run_example.py
