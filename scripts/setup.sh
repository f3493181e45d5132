#!/bin/sh
# Installs what building and testing the launcher needs on Debian 12: both
# mingw-w64 toolchains, the 64-bit Wine loader, and the 32-bit one where its
# package installs (scripts/wine_builds.sh tells whether it also runs), and
# the Java runtime that the example starts for real, and the independent
# readers that check what the brand tool writes (python3-pefile for
# /usr/bin/python3, osslsigncode with openssl, xmllint), and zip for the release.
# Safe to run again: it only installs what is missing.
set -eu

packages="cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 wine wine64
  xvfb x11-utils icoutils imagemagick procps python3 default-jre-headless
  python3-pefile osslsigncode openssl libxml2-utils zip unzip"
optional="wine32:i386"

missing_of() {
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      printf ' %s' "$package"
  done
}
missing=$(missing_of $packages)
missing_optional=$(missing_of $optional)
[ -z "$missing$missing_optional" ] && exit 0

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }
install() { as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$@"; }
echo "Installing:$missing$missing_optional"
as_root dpkg --add-architecture i386
# A mirror in the middle of a sync fails an index now and then; the lists
# that did arrive are enough when the packages are in them, and a package
# that is not fails its install below, loudly.
for attempt in 1 2 3; do
  as_root apt-get update -q && break
  echo "setup: apt-get update failed (attempt $attempt of 3)"
  sleep 5
done
[ -z "$missing" ] || install $missing
# The 64-bit build runs without it; the tests say when the 32-bit one cannot run.
[ -z "$missing_optional" ] || install $missing_optional ||
  echo "setup: could not install$missing_optional: the 32-bit launcher will not run under Wine"
