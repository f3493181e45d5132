#!/bin/sh
# Builds the launcher in both its builds (build/win32/launcher.exe, the shipped
# one, and build/win64/launcher.exe), each with its console launcher
# (launcherc.exe), its service launcher (launchersvc.exe) and the brand tool, and the host tests with the brand tool
# for Linux (build/host). scripts/package.sh builds through it.
set -eu
cd "$(dirname "$0")/.."
for preset in win32 win64 host; do
  cmake --preset $preset >/dev/null
  cmake --build --preset $preset
done
