#!/usr/bin/env bash
# Fails when a file includes a header from a layer above its own, or from a
# sibling it must not know. Layers, from the bottom:
#   platform <- config <- checks, service <- app <- ui, cli
set -u
cd "$(dirname "$0")/.."
declare -A allowed=(
  [platform]="platform"
  [config]="platform config"
  [checks]="platform config checks"
  [service]="platform config service"
  [app]="platform config checks service app"
  [ui]="platform config checks service app ui"
  [cli]="platform config checks service app cli"
)
status=0
while IFS= read -r file; do
  layer=$(echo "$file" | cut -d/ -f2)
  [ "$layer" = "main.cpp" ] && layer=ui
  while IFS= read -r included; do
    target=${included%%/*}
    [ -d "src/$target" ] || continue
    if [[ " ${allowed[$layer]} " != *" $target "* ]]; then
      echo "$file includes $included: $layer may not depend on $target"
      status=1
    fi
  done < <(sed -n 's/^#include "\([a-z]*\/[^"]*\)".*/\1/p' "$file")
done < <(find src -name '*.h' -o -name '*.cpp' -o -name '*.in' | sort)
[ $status -eq 0 ] && echo "layers: no file includes from a layer above its own"
exit $status
