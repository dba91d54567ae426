#!/usr/bin/env bash
# wine-session.sh BUILD_DIR COMMAND...
# Runs COMMAND with a Wine prefix inside BUILD_DIR, one persistent wineserver
# and, when there is no display, a virtual one. Leaves no Wine or Xvfb
# process behind and exits with COMMAND's status.
set -u
build=$(cd "$1" && pwd); shift
export WINEPREFIX="$build/wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid=""
finish() {
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
}
trap finish EXIT

if [ -z "${DISPLAY:-}" ] || [ -n "${VELMORA_XVFB:-}" ]; then
  n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  export DISPLAY=":$n"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-session: creating the Wine prefix in $WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
wineserver -p
"$@"
