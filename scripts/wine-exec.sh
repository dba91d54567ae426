#!/usr/bin/env bash
# Runs one Windows program under Wine; ctest uses it for every MinGW test.
# The prefix, the wineserver and the display come from wine-session.sh.
#
# The program writes to a file that is echoed as it grows, not to ctest's
# pipe: any process the program leaves behind (a Wine service, a program it
# started) would inherit that pipe and keep ctest waiting for its end.
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-exec: no WINEPREFIX; run through scripts/wine-session.sh BUILD_DIR ..." >&2
  exit 1
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

output=$(mktemp)
trap 'rm -f "$output"' EXIT
wine "$@" </dev/null >"$output" 2>&1 &
program=$!
trap 'kill "$program" 2>/dev/null; exit 143' TERM INT
tail -n +1 -s 0.2 --pid="$program" -f "$output"
wait "$program"
