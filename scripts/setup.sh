#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test Velmora.
set -euo pipefail
need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for pkg in cmake make g++ googletest libgtest-dev libgmock-dev g++-mingw-w64-x86-64 \
           nlohmann-json3-dev \
           wine64 xvfb xauth x11-utils imagemagick; do
  have "$pkg" || need+=("$pkg")
done
[ ${#need[@]} -eq 0 ] && exit 0
echo "setup: installing ${need[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${need[@]}" >/dev/null
