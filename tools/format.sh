#!/usr/bin/env bash
# Lay out every C++ file of the repository as .clang-format says.
#   tools/format.sh           rewrite the files that need it
#   tools/format.sh --check   change nothing; fail, naming the places, when
#                             a file would change (CI runs this)
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || tools/deps.sh --fuzz
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --check ]; then
  clang-format --dry-run --Werror "${files[@]}"
else
  clang-format -i "${files[@]}"
fi
