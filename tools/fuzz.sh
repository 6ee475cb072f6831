#!/usr/bin/env bash
# Fuzz the scene reader and the BMP loader with libFuzzer, under AddressSanitizer
# and UndefinedBehaviorSanitizer (float-cast-overflow included).
#   tools/fuzz.sh [SECONDS]     each target for SECONDS (default 60), side by side
#
# Targets and their code are in fuzz/; they start from the seed corpora
# (fuzz/corpus/TARGET, the test scenes, the samples) and keep what they find
# in build-fuzz/corpus/TARGET for the next run. A crash, a hang, a memory
# error, undefined behaviour or a broken check fails the run: the input is
# copied to fuzz/regress/TARGET/, where the tests replay it from then on;
# commit it with the fix.
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-60}

tools/deps.sh --fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DKORU_FUZZ=ON -DKORU_TESTS=OFF \
  -DKORU_APP=OFF -DKORU_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j2

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

run() { # target, seed dirs...
  local t=$1; shift
  local work=build-fuzz/corpus/$t crashes=build-fuzz/crashes/$t
  mkdir -p "$work" "$crashes" "fuzz/regress/$t"
  rm -f "$crashes"/*
  local dict=()
  [ -f "fuzz/$t.dict" ] && dict=(-dict="fuzz/$t.dict")
  local seeds=()
  for d in "$@"; do [ -d "$d" ] && seeds+=("$d"); done
  build-fuzz/fuzz/${t}_fuzz -max_total_time="$secs" -timeout=60 -rss_limit_mb=2048 \
    -artifact_prefix="$crashes/" -print_final_stats=1 "${dict[@]}" \
    "$work" fuzz/regress/$t "${seeds[@]}" >"build-fuzz/$t.log" 2>&1
}

fails=0
pids=()
run scene fuzz/corpus/scene tests/degenerate tests/scenes samples & pids+=($!)
run bmp fuzz/corpus/bmp & pids+=($!)
for p in "${pids[@]}"; do wait "$p" || true; done

for t in scene bmp; do
  stats=$(grep -E '^stat::(number_of_executed_units|new_units_added)' "build-fuzz/$t.log" | \
          sed 's/stat:://' | tr "\n" " " | tr -s " ")
  found=(build-fuzz/crashes/$t/*)
  if [ -e "${found[0]}" ]; then
    fails=1
    echo "fuzz $t: FAILED; the log (build-fuzz/$t.log) ends:" >&2
    grep -v -E '^#[0-9]+' "build-fuzz/$t.log" | tail -n 60 >&2
    for f in "${found[@]}"; do
      cp "$f" "fuzz/regress/$t/"
      echo "fuzz $t: input kept as fuzz/regress/$t/$(basename "$f")" >&2
    done
  elif ! grep -q '^Done ' "build-fuzz/$t.log"; then
    fails=1
    echo "fuzz $t: FAILED to run; the log (build-fuzz/$t.log) ends:" >&2
    tail -n 30 "build-fuzz/$t.log" >&2
  else
    echo "fuzz $t: ok, ${secs} s, $stats"
  fi
done
exit $fails
