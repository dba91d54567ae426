#!/usr/bin/env bash
# scripts/fault-hunt.sh [LIST]: puts faults into a copy of the program one at
# a time, runs the host tests against each and says which were caught.
#
# LIST (scripts/faults.txt by default) holds one fault per line:
#   name | file | text to find | text to put instead
# (fields apart by " | "). The text must stand exactly once in the file;
# "<NL>" in either text is a line break. Lines starting with "#" and blank
# lines are skipped. A fault whose text is not found, or that does not
# compile, is reported as such and not counted. A caught fault is shown with
# the tests that failed on it. The copy and its build live in build/faults
# (or FAULT_HUNT_WORK); the tree is untouched.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
list=${1:-$top/scripts/faults.txt}
work=${FAULT_HUNT_WORK:-$top/build/faults}
tree=$work/tree
build=$work/build

"$top/scripts/setup.sh" >/dev/null
rm -rf "$tree"
mkdir -p "$tree" "$build"
# The committed tree plus what is not committed yet, without the builds.
(cd "$top" && git ls-files -co --exclude-standard -z | xargs -0 cp --parents -t "$tree")
ln -sfn "$top/third_party" "$tree/third_party"
cmake -S "$tree" -B "$build" -DCMAKE_BUILD_TYPE=Debug >/dev/null || exit 1
cmake --build "$build" --target velmora_host_tests -- -j2 >/dev/null || { echo "fault-hunt: the program does not build"; exit 1; }
tests=$build/tests/host/velmora_host_tests
"$tests" >/dev/null 2>&1 || { echo "fault-hunt: the tests fail without any fault"; exit 1; }

# Puts one fault in: prints its name, its file, then "ok" or how often the text stands there.
inject() {
  python3 - "$tree" "$1" <<'PYTHON'
import sys
tree, line = sys.argv[1], sys.argv[2]
name, file, find, replace = [part.strip() for part in line.split(" | ", 3)]
find, replace = find.replace("<NL>", "\n"), replace.replace("<NL>", "\n")
path = tree + "/" + file
text = open(path, encoding="utf-8").read()
print(name)
print(file)
if text.count(find) != 1:
    print(text.count(find))
else:
    open(path + ".orig", "w", encoding="utf-8").write(text)
    open(path, "w", encoding="utf-8").write(text.replace(find, replace))
    print("ok")
PYTHON
}

caught=0 missed=0 skipped=0
missedNames=()
while IFS= read -r line; do
  [[ -z "${line// }" || "$line" == \#* ]] && continue
  mapfile -t fault < <(inject "$line")
  name=${fault[0]} file=${fault[1]} applied=${fault[2]}
  target=$tree/$file
  if [ "$applied" != "ok" ]; then
    echo "SKIPPED  $name: the text stands $applied times in $file"
    skipped=$((skipped + 1))
  elif ! cmake --build "$build" --target velmora_host_tests -- -j2 >/dev/null 2>&1; then
    echo "SKIPPED  $name: does not compile"
    skipped=$((skipped + 1))
  elif timeout 300 "$tests" --gtest_brief=1 >"$work/run.txt" 2>&1; then
    echo "MISSED   $name"
    missed=$((missed + 1))
    missedNames+=("$name")
  else
    echo "caught   $name :: $(sed -n -E 's/^\[  FAILED  \] ([A-Za-z_]+\.[A-Za-z_]+).*/\1/p' "$work/run.txt" | sort -u | tr '\n' ' ')"
    caught=$((caught + 1))
  fi
  # Back as it was, and newer than the build, so the next build takes it.
  if [ -f "$target.orig" ]; then
    mv "$target.orig" "$target"
    touch "$target"
  fi
done <"$list"
total=$((caught + missed))
echo "fault-hunt: $caught of $total faults caught ($((total ? caught * 100 / total : 0)) %), $skipped skipped"
[ ${#missedNames[@]} -gt 0 ] && printf 'missed: %s\n' "${missedNames[@]}"
# A line whose text no longer stands once is a fault no longer hunted: as loud as one missed.
[ "$missed" -eq 0 ] && [ "$skipped" -eq 0 ]
