#!/usr/bin/env bash
# Fails when a C++ file of the repository (src, tests, bench, tools: *.cpp,
# *.h) is not formatted as the repository's .clang-format says, and names the
# files. Fix them with `clang-format -i FILE...`.
# Usage: tools/check_format.sh [FILE...]   (every tracked C++ file by default)
set -euo pipefail
cd "$(dirname "$0")/.."
clang_format=${CLANG_FORMAT:-clang-format}
if ! command -v "$clang_format" >/dev/null; then
  echo "check_format: $clang_format not found (Debian package clang-format)" >&2
  exit 2
fi
if [ $# -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' \
                                      'bench/*.cpp' 'bench/*.h' 'tools/*.cpp' 'tools/*.h')
fi
[ ${#files[@]} -eq 0 ] && exit 0

# Two at a time, 40 files a call: the whole tree takes a few seconds.
status=0
out=$(printf '%s\0' "${files[@]}" |
  xargs -0 -n 40 -P 2 "$clang_format" --style=file --dry-run -Werror 2>&1) || status=$?
bad=$(sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' \
  <<<"$out" | sort -u)
if [ -n "$bad" ]; then
  echo "Not formatted with .clang-format (clang-format -i FILE):" >&2
  printf '  %s\n' $bad >&2
  exit 1
fi
if [ $status -ne 0 ]; then  # clang-format failed otherwise: a file missing, a bad style
  echo "$out" >&2
  exit 1
fi
echo "check_format: ${#files[@]} files formatted"
