#!/usr/bin/env bash
# Two builds of koru-cli side by side: each scene rendered by one, then the
# other, runs times over, whole process, on the given number of threads.
# Prints the smallest and the median wall time of each, their ratio
# (base / new), and the new build's rays per second of tracing; fails when
# the two pictures differ in any byte.
#   bench/compare.sh BASE-CLI NEW-CLI [runs] [threads] [-- render options] [-- scenes]
# e.g. bench/compare.sh ../d8/build/cli/koru-cli build/cli/koru-cli 11 2
#      bench/compare.sh A B 5 2 -- --size 640 480 -- samples/glass.RT
# Times come from bash's EPOCHREALTIME, so no helper process is timed; the
# disk is flushed (sync) before each timed run, so that no run waits for
# the file the one before it left unwritten.
set -euo pipefail
cd "$(dirname "$0")/.."
base=$1 new=$2
runs=${3:-9} threads=${4:-2}
shift $(($# < 4 ? $# : 4))
. bench/common.sh
options_and_scenes "$@"
[ ${#scenes[@]} -gt 0 ] || scenes=(bench/scenes/*.RT)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

stat_of() { sort -n | awk '{v[NR]=$1} END {printf "%s %s\n", v[1], v[int((NR+1)/2)]}'; }

printf '%-10s %15s %15s %7s %7s %8s\n' scene base-ms new-ms ratio median Mrays/s
for rt in "${scenes[@]}"; do
  s=$(basename "$rt" .RT)
  "$base" render "$rt" "$out/a.bmp" --threads "$threads" "${opts[@]}"
  "$new" render "$rt" "$out/b.bmp" --threads "$threads" "${opts[@]}"
  cmp -s "$out/a.bmp" "$out/b.bmp" || { echo "$s: the pictures differ" >&2; exit 1; }
  : >"$out/ta"
  : >"$out/tb"
  for ((i = 0; i < runs; i++)); do
    wall_ms "$base" render "$rt" "$out/a.bmp" --threads "$threads" "${opts[@]}" >>"$out/ta"
    wall_ms "$new" render "$rt" "$out/b.bmp" --threads "$threads" "${opts[@]}" >>"$out/tb"
  done
  read -r amin amed < <(stat_of <"$out/ta")
  read -r bmin bmed < <(stat_of <"$out/tb")
  st=$("$new" render "$rt" "$out/b.bmp" --threads "$threads" "${opts[@]}" --stats 2>&1)
  # "stats: W x H dots, T ms, rays R, shadow rays S"
  awk -v s="$s" -v amin="$amin" -v amed="$amed" -v bmin="$bmin" -v bmed="$bmed" -v st="$st" 'BEGIN {
    split(st, t, /dots, /); ms = t[2] + 0
    split(st, f, /rays /); rays = f[2] + f[3]
    printf "%-10s %6.1f / %6.1f %6.1f / %6.1f %7.2f %7.2f %8.1f\n", s, amin, amed, bmin, bmed,
           amin / bmin, amed / bmed, rays / ms / 1000 }'
done
echo "ms: smallest / median of $runs whole-process runs on $threads threads; ratio: base / new"
echo "of the smallest (median: of the medians). Mrays/s: the new build's primary, secondary"
echo "and shadow rays per second of tracing (shadow searches it skips are not counted)."
