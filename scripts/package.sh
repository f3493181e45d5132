#!/bin/sh
# Makes the release, dist/corvane-<version>.zip: every launcher exe, the
# brand tool for Windows and for Linux x86-64, the README, an example
# configuration and SHA256SUMS, the SHA-256 list of the others. The version
# is the launcher's own (CORVANE_VERSION in app/main_sequence.h). It builds
# what it ships first (scripts/build.sh), and checks the zip it wrote against
# its list.
set -eu
cd "$(dirname "$0")/.."

# The launcher exes the release ships, as they lie below build/ (and so in
# the zip): add one by adding its path here.
launchers="win32/launcher.exe win32/launcherc.exe win32/launchersvc.exe
           win64/launcher.exe win64/launcherc.exe win64/launchersvc.exe"

version=$(sed -n 's/^#define CORVANE_VERSION "\(.*\)"$/\1/p' app/main_sequence.h)
[ -n "$version" ] || { echo "package: no CORVANE_VERSION in app/main_sequence.h" >&2; exit 1; }
name=corvane-$version

scripts/build.sh

stage=build/package/$name
rm -rf build/package
mkdir -p "$stage/brand/windows" "$stage/brand/linux-x86_64" "$stage/example" dist
for launcher in $launchers; do
  mkdir -p "$stage/$(dirname "$launcher")"
  cp "build/$launcher" "$stage/$launcher"
done
cp build/win32/corvane-brand.exe "$stage/brand/windows/"
strip -o "$stage/brand/linux-x86_64/corvane-brand" build/host/corvane-brand
cp README.md "$stage/"
cp examples/viewer/viewer.config "$stage/example/"
(cd "$stage" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort |
  xargs sha256sum > SHA256SUMS)

zip_file=$PWD/dist/$name.zip
rm -f "$zip_file"
(cd build/package && find "$name" -type f | LC_ALL=C sort | zip -q -X "$zip_file" -@)

# The zip holds what the list names, and nothing else.
check=build/package/check
mkdir -p "$check"
unzip -q "$zip_file" -d "$check"
(cd "$check/$name" && sha256sum --quiet -c SHA256SUMS)
listed=$(cut -c67- "$check/$name/SHA256SUMS" | LC_ALL=C sort)
held=$(cd "$check/$name" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort)
if [ "$listed" != "$held" ]; then
  echo "package: the zip holds files its list does not name" >&2
  exit 1
fi
echo "$zip_file:"
sed 's/^/  /' "$check/$name/SHA256SUMS"
