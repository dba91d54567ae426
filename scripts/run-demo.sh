#!/usr/bin/env bash
# make run: a Wine prefix with a demo Tomcat layout in which the defaults
# pass every check, then velmora.exe from its bin folder. With a display the
# window opens for you; without one a guided walk drives it on a virtual
# display and prints what it sees.
#
# VELMORA_DEMO=modern (make run DEMO=modern): Tomcat 10 in C:\tomcat10 with
# its own wrapper and a JDK 21 found through the registry; otherwise the
# classic layout in C:\tomcat with bin\tomcat.exe and java_home=C:\jdk.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="${VELMORA_BUILD:-$top/build/mingw}"
# Each layout keeps its own screenshots: the modern walk leaves the classic one's alone.
demo="$build/demo"
[ "${VELMORA_DEMO:-}" = "modern" ] && demo="$build/demo-modern"
. "$top/scripts/demo-layout.sh"

if [ "${1:-}" = "--inside" ]; then
  if [ "${VELMORA_DEMO:-}" = "modern" ]; then
    prepare_modern_demo_layout "$build"
    home='C:\tomcat10'
    unset java_home JAVA_HOME
  else
    prepare_demo_layout "$build"
    home='C:\tomcat'
    export java_home='C:\jdk'   # Wine hands the variable to the Windows programs
  fi
  if [ -n "${VELMORA_WALK:-}" ]; then
    rm -rf "$demo" && mkdir -p "$demo"
    status=0
    wine "$build/tools/demo/demo_walk.exe" "$home\\bin\\velmora.exe" "$(winepath -w "$demo")" || status=$?
    for shot in "$demo"/*.bmp; do convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"; done
    echo "Screenshots: $demo"
    exit $status
  fi
  cd "$(winepath -u "$home\\bin")"
  exec wine "$home\\bin\\velmora.exe"
fi

[ -z "${DISPLAY:-}" ] && export VELMORA_WALK=1
exec "$top/scripts/wine-session.sh" "$build" "$top/scripts/run-demo.sh" --inside
