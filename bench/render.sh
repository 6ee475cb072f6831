#!/usr/bin/env bash
# Whole-render benchmark: each bench scene at 1024 x 768 with the plain
# search on one thread, the accelerated tracer on one thread and on all
# threads. Prints the median wall time per picture (whole process: start,
# reading, tracing, writing the BMP), the rays per second, and the parallel
# speed-up of the whole process and of the tracing alone (koru-cli --stats).
#   bench/render.sh [koru-cli] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${1:-build/cli/koru-cli}
runs=${2:-5}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# median of the tracing milliseconds koru-cli --stats reports
median_trace_ms() {
  for ((i = 0; i < runs; i++)); do
    "$@" --stats 2>&1 | sed -n 's/.*dots, \([0-9.]*\) ms.*/\1/p'
  done | sort -n | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'
}

# median wall milliseconds of `runs` runs of the command
median_ms() {
  local t=()
  for ((i = 0; i < runs; i++)); do
    local a b
    a=$(date +%s%N)
    "$@" >/dev/null
    b=$(date +%s%N)
    t+=($(((b - a) / 1000000)))
  done
  printf '%s\n' "${t[@]}" | sort -n | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'
}

cores=$(nproc)
printf '%-8s %9s %9s %9s %8s %8s %9s %10s\n' scene plain-ms fast1-ms fast${cores}-ms x-plain speedup trace-spd Mrays/s
for rt in bench/scenes/*.RT; do
  s=$(basename "$rt" .RT)
  rays=$("$cli" render "$rt" "$out/$s.bmp" --stats 2>&1 | sed -n 's/.*rays \([0-9]*\), shadow rays \([0-9]*\).*/\1 \2/p')
  "$cli" render "$rt" "$out/$s-plain.bmp" --plain
  cmp -s "$out/$s.bmp" "$out/$s-plain.bmp" || { echo "$s: the accelerated picture differs from the plain one" >&2; exit 1; }
  p=$(median_ms "$cli" render "$rt" "$out/p.bmp" --plain)
  f1=$(median_ms "$cli" render "$rt" "$out/f.bmp" --threads 1)
  fn=$(median_ms "$cli" render "$rt" "$out/f.bmp")
  t1=$(median_trace_ms "$cli" render "$rt" "$out/f.bmp" --threads 1)
  tn=$(median_trace_ms "$cli" render "$rt" "$out/f.bmp")
  read -r r sh <<<"$rays"
  awk -v s="$s" -v p="$p" -v f1="$f1" -v fn="$fn" -v t1="$t1" -v tn="$tn" -v r="$r" -v sh="$sh" 'BEGIN {
    printf "%-8s %9d %9d %9d %8.2f %8.2f %9.2f %10.1f\n", s, p, f1, fn, p / fn, f1 / fn, t1 / tn, (r + sh) / tn / 1000 }'
done
echo "x-plain: plain-ms / fast${cores}-ms. speedup: fast1-ms / fast${cores}-ms; trace-spd: the same for the"
echo "tracing alone. Mrays/s: primary, secondary and shadow rays per second of tracing on all threads."
