#!/usr/bin/env bash
# Fuzz the scene reader, the renderer, the picture and animation readers,
# the display conversions, the text edits and the WebP encoder with libFuzzer, under
# AddressSanitizer and UndefinedBehaviorSanitizer (float-cast-overflow
# included).
#   tools/fuzz.sh [SECONDS] [TARGET...]
#       each target (all by default) for SECONDS (default 60), as many side
#       by side as there are cores
#
# Targets and their code are in fuzz/: scene (read, then render twice),
# reader (read, check and explain, no render: the deep one for the reader),
# picture (BMP and PNG decoded, nothing more: the fast one), display (the
# same pictures in every display mode), anim (animated WebP and GIF), edit
# (field edits of a scene's text), keys (two scenes compared and mixed) and
# encode (pictures through KORU's own WebP encoder and back).
# They start from the seed corpora (fuzz/corpus/TARGET; for the scene
# targets also the test scenes and the samples) and keep what they find in
# build-fuzz/corpus/TARGET for the next run. A crash, a hang, a memory
# error, undefined behaviour or a broken check fails the run: the input is
# copied to fuzz/regress/TARGET/, where the tests replay it from then on;
# commit it with the fix.
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(scene reader picture display anim edit keys encode)

tools/deps.sh --fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DKORU_FUZZ=ON -DKORU_TESTS=OFF \
  -DKORU_APP=OFF -DKORU_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j2

# a small quarantine keeps freed memory warm: far fewer page faults a run,
# and use after free is still caught within the last 16 MB freed
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1:quarantine_size_mb=16}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# the targets hand each input to the readers as a file: kept in memory, not
# on the disk, where there is room (twice as many inputs a second)
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi

run() { # target, seed dirs...
  local t=$1; shift
  local work=build-fuzz/corpus/$t crashes=build-fuzz/crashes/$t
  mkdir -p "$work" "$crashes" "fuzz/regress/$t"
  rm -f "$crashes"/*
  local opts=(-rss_limit_mb=2048)
  case $t in
    scene) opts+=(-dict=fuzz/scene.dict) ;;
    # the reader target goes deep on short files; long ones (tables beyond
    # their bounds) are the scene target's, whose inputs are not bounded
    reader) opts+=(-dict=fuzz/scene.dict -max_len=2048) ;;
    edit | keys) opts+=(-dict=fuzz/text.dict -max_len=8192) ;;
    # no one allocation beyond what the largest frame needs: a canvas or a
    # frame count beyond the limits must be refused before it is made
    anim) opts=(-rss_limit_mb=1024 -malloc_limit_mb=64) ;;
  esac
  local seeds=()
  for d in "$@"; do [ -d "$d" ] && seeds+=("$d"); done
  local TIMEFORMAT='%U %S'
  { time build-fuzz/fuzz/${t}_fuzz -max_total_time="$secs" -timeout=60 \
      -artifact_prefix="$crashes/" -print_final_stats=1 "${opts[@]}" \
      "$work" fuzz/regress/$t "${seeds[@]}" >"build-fuzz/$t.log" 2>&1; } 2>"build-fuzz/$t.cpu"
}

seeds() { # the seed folders of a target
  case $1 in
    scene) echo fuzz/corpus/scene tests/degenerate tests/scenes samples ;;
    reader) echo fuzz/corpus/reader fuzz/corpus/scene tests/degenerate tests/scenes samples ;;
    picture | display) echo fuzz/corpus/picture ;;
    edit | keys) echo "fuzz/corpus/$1 samples tests/scenes" ;;
    *) echo "fuzz/corpus/$1" ;;
  esac
}

# as many targets at once as there are cores, so that each has one for
# its SECONDS: eight targets on two cores take four rounds
fails=0
at_once=$(nproc 2>/dev/null || echo 1)
for t in "${targets[@]}"; do
  [ -f "fuzz/${t}_fuzz.cpp" ] || { echo "fuzz: no target $t" >&2; exit 2; }
done
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$at_once" ]; do wait -n || true; done
  # shellcheck disable=SC2046
  run "$t" $(seeds "$t") &
done
wait || true

for t in "${targets[@]}"; do
  # the last report of each figure (a target may print its statistics twice)
  stats=$(grep -E '^stat::(number_of_executed_units|new_units_added)' "build-fuzz/$t.log" | \
          tail -n 2 | sed 's/stat:://' | tr "\n" " " | tr -s " ")
  # inputs a minute of the target's own processor time: the targets share
  # the cores, with each other and with whatever else runs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "build-fuzz/$t.log" | tail -n 1)
  cpu=$(awk '{ printf "%d", ($1 + $2) * 1000 }' "build-fuzz/$t.cpu" 2>/dev/null || echo 0)
  [ -n "$runs" ] && [ "${cpu:-0}" -gt 0 ] && \
    stats="$stats, $((runs * 60000 / cpu)) inputs a minute of processor time"
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
