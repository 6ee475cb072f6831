#!/usr/bin/env bash
# The window's code in small pieces: no file of app/ (any depth, tests
# included) over 500 lines, none of the studio's Qt side (app/qt/studio/)
# over 300, and no function of app/ over 60. A function is what a pair of
# braces on lines of their own encloses (.clang-format puts a function's
# braces there and every other brace on the line before), counted from
# the opening brace to the closing one. Names each place and fails when
# anything is larger; the test app.sizes runs it.
#   tools/sizes.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
find app \( -name '*.h' -o -name '*.cpp' \) -print0 | LC_ALL=C sort -z |
  xargs -0 awk -v file_max=500 -v studio_max=300 -v function_max=60 '
    function file_ends() {
      if (name == "")
        return
      most = name ~ /^app\/qt\/studio\// ? studio_max : file_max
      if (lines > most) {
        printf "%s: %d lines (at most %d)\n", name, lines, most
        bad = 1
      }
    }
    FNR == 1 { file_ends(); name = FILENAME; open = 0 }
    { lines = FNR }
    !open && /^ *\{$/ { open = 1; indent = substr($0, 1, length($0) - 1); start = FNR; next }
    open && ($0 == indent "}" || $0 == indent "};") {
      open = 0
      if (FNR - start + 1 > function_max) {
        printf "%s:%d: a function of %d lines (at most %d)\n", name, start, FNR - start + 1, function_max
        bad = 1
      }
    }
    END { file_ends(); exit bad }'
