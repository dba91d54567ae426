#!/usr/bin/env bash
# Runs one Windows program under Wine; ctest uses it for every MinGW test.
# The prefix and the display come from wine-session.sh.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine "$@"
