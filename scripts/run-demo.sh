#!/usr/bin/env bash
# make run: a Wine prefix with a demo Tomcat layout in which the defaults
# pass every check, then C:\tomcat\bin\velmora.exe. With a display the
# window opens for you; without one a guided walk drives it on a virtual
# display and prints what it sees.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="${VELMORA_BUILD:-$top/build/mingw}"
demo="$build/demo"
. "$top/scripts/demo-layout.sh"

if [ "${1:-}" = "--inside" ]; then
  prepare_demo_layout "$build"
  export java_home='C:\jdk'   # Wine hands the variable to the Windows programs
  if [ -n "${VELMORA_WALK:-}" ]; then
    rm -rf "$demo" && mkdir -p "$demo"
    status=0
    wine "$build/tools/demo/demo_walk.exe" 'C:\tomcat\bin\velmora.exe' "$(winepath -w "$demo")" || status=$?
    for shot in "$demo"/*.bmp; do convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"; done
    echo "Screenshots: $demo"
    exit $status
  fi
  cd "$WINEPREFIX/drive_c/tomcat/bin"
  exec wine 'C:\tomcat\bin\velmora.exe'
fi

[ -z "${DISPLAY:-}" ] && export VELMORA_WALK=1
exec "$top/scripts/wine-session.sh" "$build" "$top/scripts/run-demo.sh" --inside
