#!/bin/sh
# Installs what building and testing the launcher needs on Debian 12.
# Safe to run again: it only installs what is missing.
set -eu

packages="cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev g++-mingw-w64-i686 mingw-w64-tools binutils-mingw-w64-i686
  wine wine32:i386 xvfb x11-utils icoutils imagemagick procps python3"

missing=""
for package in $packages; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing="$missing $package"
done
[ -z "$missing" ] && exit 0

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }
echo "Installing:$missing"
as_root dpkg --add-architecture i386
as_root apt-get update -q
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q $missing
