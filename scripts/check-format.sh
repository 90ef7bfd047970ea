#!/usr/bin/env bash
# Fails when a tracked C++ source is not formatted with the committed .clang-format.
set -euo pipefail
clang_format=${1:-clang-format}
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -- '*.cpp' '*.h' '*.hpp' 2>/dev/null ||
    find src test bench fuzz tools examples -name '*.cpp' -o -name '*.h' 2>/dev/null)
[ ${#files[@]} -eq 0 ] && exit 0
"$clang_format" --dry-run --Werror "${files[@]}"
