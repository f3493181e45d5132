#!/bin/sh
# Builds the launcher (build/win32/launcher.exe) and the host tests (build/host).
set -eu
cd "$(dirname "$0")/.."
cmake --preset win32 >/dev/null
cmake --build --preset win32
cmake --preset host >/dev/null
cmake --build --preset host
