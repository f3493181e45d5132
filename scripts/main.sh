#!/bin/sh
# The main job: set up the machine, build the launcher.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
ls -l build/win32/launcher.exe
