#!/usr/bin/env bash
# make dist: the release zip with velmora.exe, velmora-cli.exe and the usage text.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="${VELMORA_BUILD:-$top/build/mingw}"
# The version is the project's own, read from the header CMake makes from it.
version=$(sed -n 's/^#define VELMORA_VERSION_TEXT "\(.*\)"/\1/p' "$build/generated/app/Version.h")
stage="$build/dist/velmora-$version"
rm -rf "$build/dist"
mkdir -p "$stage"
for exe in velmora.exe velmora-cli.exe; do
  cp "$build/src/ui/win32/$exe" "$stage/"
  x86_64-w64-mingw32-strip "$stage/$exe"
done
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' "$top/dist/USAGE.txt" > "$stage/USAGE.txt"
(cd "$build/dist" && cmake -E tar cf "velmora-$version.zip" --format=zip "velmora-$version")
echo "dist: $build/dist/velmora-$version.zip"
x86_64-w64-mingw32-objdump -p "$stage/velmora.exe" | awk '/DLL Name:/ {print "  imports " $3}'
