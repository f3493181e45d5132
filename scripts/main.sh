#!/bin/sh
# The main job: set up the machine, build both builds of the launcher, and run
# the example application through each build this machine can run under Wine
# (it says which), showing what the launcher did, with stand-in Java programs
# and with Debian's OpenJDK; then a command-line tool through the console
# launcher, the same two ways.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
ls -l build/win32/launcher.exe build/win32/launcherc.exe build/win64/launcher.exe \
  build/win64/launcherc.exe
python3 examples/run_example.py
