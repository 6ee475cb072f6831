#!/usr/bin/env bash
# The test suite built with sanitizers. Extra arguments go to ctest, e.g.
# tools/sanitize.sh -R Degenerate
#
#   tools/sanitize.sh            AddressSanitizer and UndefinedBehaviorSanitizer
#                                (float-cast-overflow included; the first finding
#                                stops the program), everything, in build-asan/;
#                                then, without extra arguments, the studio soaked
#                                for KORU_SOAK_MINUTES (1) minutes (0: none),
#                                from seed KORU_SOAK_SEED (1, so that a run
#                                can be repeated; "random" for a new one)
#   tools/sanitize.sh --thread   ThreadSanitizer, in build-tsan/: the engine,
#                                koru-cli and their tests. The window is left out:
#                                Qt is not built with ThreadSanitizer, so it would
#                                report the toolkit's own synchronisation as races.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
if [ "${1:-}" = "--thread" ]; then
  shift
  cmake -S . -B build-tsan -G Ninja -DKORU_TSAN=ON -DKORU_APP=OFF -DKORU_TESTS=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build-tsan -j2
  export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
  ctest --test-dir build-tsan --output-on-failure -j2 "$@"
  exit
fi
cmake -S . -B build-asan -G Ninja -DKORU_SANITIZE=ON -DKORU_APP=ON -DKORU_TESTS=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-asan -j2
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1:strict_string_checks=1:check_initialization_order=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tools/lsan.supp:print_suppressions=0}
ctest --test-dir build-asan --output-on-failure -j2 "$@"
if [ $# -eq 0 ] && [ "${KORU_SOAK_MINUTES:-1}" != 0 ]; then
  seed=()
  [ "${KORU_SOAK_SEED:-1}" = random ] || seed=(--seed "${KORU_SOAK_SEED:-1}")
  QT_QPA_PLATFORM=offscreen build-asan/app/tests/studio_soak --minutes "${KORU_SOAK_MINUTES:-1}" "${seed[@]}"
fi
