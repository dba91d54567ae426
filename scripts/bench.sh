#!/usr/bin/env bash
# make bench: every figure measured in one run under Wine, with its target.
# VELMORA_BUILD is the MinGW build to measure (build/mingw by default).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="${VELMORA_BUILD:-$top/build/mingw}"
cmake --build "$build" --target bare_window bare_window_styled bare_dialog bench_startup bench_store bench_service \
  velmora velmora-cli tomcat java_standin -- -j2 >/dev/null

exe="$build/src/ui/win32/velmora.exe"
size=$(stat -c %s "$exe")
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}' | sort -u | tr '\n' ' ')
foreign=""
for dll in $dlls; do
  case "$dll" in
    kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shell32.dll|comdlg32.dll|comctl32.dll|ole32.dll|oleaut32.dll|\
    msvcrt.dll|shlwapi.dll|uxtheme.dll|iphlpapi.dll|api-ms-win-*) ;;
    *) foreign="$foreign $dll" ;;
  esac
done
echo "size: velmora.exe $size bytes (target under 1572864: $([ "$size" -lt 1572864 ] && echo holds || echo missed))"
echo "imports: $dlls(only Windows' own: $([ -z "$foreign" ] && echo holds || echo "missed:$foreign"))"

export VELMORA_BENCH_TOP="$top" VELMORA_BENCH_BUILD="$build"
"$top/scripts/wine-session.sh" "$build/bench" bash -c '
  set -e
  build=$VELMORA_BENCH_BUILD
  . "$VELMORA_BENCH_TOP/scripts/demo-layout.sh"
  prepare_demo_layout "$build"
  # A second JDK like the first, for the check before a move to it.
  rm -rf "$WINEPREFIX/drive_c/jdk-next" && cp -r "$WINEPREFIX/drive_c/jdk" "$WINEPREFIX/drive_c/jdk-next"
  export java_home="C:\\jdk"
  # wine-session.sh tells Wine that Xvfb runs no window manager, or every
  # hidden window with a caption would wait 2 s for one.
  cd "$build/bench"
  wine "$build/bench/bench_startup.exe" "C:\\tomcat\\bin\\velmora.exe" "$(winepath -w "$build/bench/bare_window.exe")" \
    "$(winepath -w "$build/bench/bare_window_styled.exe")" "$(winepath -w "$build/bench/bare_dialog.exe")"
  cli="C:\\tomcat\\bin\\velmora-cli.exe" window="C:\\tomcat\\bin\\velmora.exe"
  wine "$build/bench/bench_service.exe" "$cli" "$window" velmorabench 9
  wine "$build/bench/bench_store.exe"
'
