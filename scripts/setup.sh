#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test Velmora, and
# fetches the XML library's sources into third_party/ once.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for pkg in cmake make g++ googletest libgtest-dev libgmock-dev g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 \
           nlohmann-json3-dev curl clang-format \
           wine64 xvfb xauth x11-utils imagemagick; do
  have "$pkg" || need+=("$pkg")
done
if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${need[@]}" >/dev/null
fi

# pugixml reads server.xml. Its sources are built with ours (CMakeLists.txt);
# the archive is Debian's copy of the release, checked before it is unpacked.
pugixml_dir="$top/third_party/pugixml-1.13"
pugixml_url=http://deb.debian.org/debian/pool/main/p/pugixml/pugixml_1.13.orig.tar.gz
pugixml_sha256=5c5ad5d7caeb791420408042a7d88c2c6180781bf218feca259fd9d840a888e1
if [ ! -f "$pugixml_dir/src/pugixml.cpp" ]; then
  echo "setup: fetching pugixml 1.13"
  mkdir -p "$top/third_party"
  work=$(mktemp -d "$top/third_party/.fetch.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  curl -fsSL --retry 3 -o "$work/pugixml.tar.gz" "$pugixml_url"
  echo "$pugixml_sha256  $work/pugixml.tar.gz" | sha256sum -c --quiet -
  tar -xzf "$work/pugixml.tar.gz" -C "$work"
  # Moved into place whole, so a run that stops half-way leaves nothing that
  # looks complete; a build running beside this one may have put it there first.
  [ -f "$pugixml_dir/src/pugixml.cpp" ] || rm -rf "$pugixml_dir"
  mv -T "$work/pugixml-1.13" "$pugixml_dir" 2>/dev/null || [ -f "$pugixml_dir/src/pugixml.cpp" ]
fi
