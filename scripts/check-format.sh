#!/usr/bin/env bash
# Fails when a C++ file of ours differs from what clang-format makes of it
# with the house style in .clang-format. Third-party sources are not ours.
set -u
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' \
                                  'tools/*.cpp' 'tools/*.h')
if clang-format --dry-run --Werror "${files[@]}" 2>/dev/null; then
  echo "format: ${#files[@]} files as clang-format lays them out"
  exit 0
fi
clang-format --dry-run "${files[@]}" 2>&1 | grep 'warning:' | cut -d: -f1 | sort -u | sed 's/$/: not as clang-format lays it out/'
exit 1
