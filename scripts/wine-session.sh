#!/usr/bin/env bash
# wine-session.sh BUILD_DIR COMMAND...
# Runs COMMAND with the Wine prefix BUILD_DIR/wine (created on first use), one
# persistent wineserver and, when there is no display, a virtual one. Leaves
# no Wine or Xvfb process behind and exits with COMMAND's status.
set -u
if [ $# -lt 2 ]; then
  echo "usage: $0 BUILD_DIR COMMAND..." >&2
  exit 2
fi
mkdir -p "$1" && build=$(cd "$1" && pwd) || exit 2
shift
export WINEPREFIX="$build/wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid=""
display_file=""
finish() {
  local status=$?
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  [ -n "$display_file" ] && rm -f "$display_file"
  exit "$status"
}
# The command runs in the background so that a signal reaches these traps at
# once instead of after the command has ended.
command_pid=""
stop() {
  [ -n "$command_pid" ] && kill -TERM "$command_pid" 2>/dev/null
  exit "$1"
}
trap finish EXIT
trap 'stop 130' INT
trap 'stop 143' TERM

if [ -z "${DISPLAY:-}" ] || [ -n "${VELMORA_XVFB:-}" ]; then
  # Xvfb picks a free display itself and writes its number once it is ready,
  # so sessions started side by side never race for the same one.
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1920x1440x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  display=$(head -n 1 "$display_file")
  if [ -z "$display" ]; then
    echo "wine-session: Xvfb did not start" >&2
    exit 1
  fi
  export DISPLAY=":$display"
fi

# A server left over from an interrupted run would keep the old display.
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-session: creating the Wine prefix in $WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
wineserver -p
# Start Wine's own services now, detached from the caller's output: started
# later by a test, they would hold its output pipe open.
wine wineboot </dev/null >/dev/null 2>&1
# Xvfb runs no window manager, and Wine waits up to two seconds for one to
# confirm every hidden window that has a title bar; told that none runs, it
# places its windows itself. On a desktop's display the manager is asked again.
x11_key='HKCU\Software\Wine\X11 Driver'
if [ -n "$xvfb_pid" ]; then
  wine reg add "$x11_key" /v Managed /d N /f </dev/null >/dev/null 2>&1
else
  wine reg delete "$x11_key" /v Managed /f </dev/null >/dev/null 2>&1
fi
"$@" <&0 &
command_pid=$!
wait "$command_pid"
