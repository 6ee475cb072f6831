#!/usr/bin/env bash
# Animation benchmark: every sample's turntable (--orbit 360, 48 frames at
# 320 x 240, two threads) made by koru-cli animate into numbered BMP
# pictures, an animated GIF, numbered PNG pictures and an animated WebP.
# Prints frames a second for each (whole process; the median of the runs,
# taken in turn, one output after the other, so that others' work on the
# machine falls on all of them alike), the WebP run's time over the BMP
# run's, and the sizes of the WebP file and of the PNG pictures together.
# Fails when the WebP file differs from koru-cli join of the BMP pictures.
#   bench/animate.sh [koru-cli] [runs] [-- animate options [-- scenes]]
# e.g. bench/animate.sh build/cli/koru-cli 9 -- --effort small -- samples/room.RT
# Times come from bash's EPOCHREALTIME, so no helper process is timed; the
# disk is flushed (sync) before each timed run.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/cli/koru-cli}")
runs=${2:-5}
shift $(($# < 2 ? $# : 2))
. bench/common.sh
options_and_scenes "$@"
[ ${#scenes[@]} -gt 0 ] || scenes=(samples/*.RT)
frames=48
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

outs=(bmp/f_%04d.bmp turn.gif png/f_%04d.png turn.webp)
names=(BMP GIF PNG WebP)

ms() { # wall milliseconds of one run into $1
  local dir
  dir=$(dirname "$out/$1")
  [ "$dir" = "$out" ] || { rm -rf "$dir" && mkdir "$dir"; }
  wall_ms "$cli" animate "$rt" "$out/$1" --frames $frames --orbit 360 --size 320 240 \
    --threads 2 "${opts[@]}"
}
median() { sort -n | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }

printf '%-12s %7s %7s %7s %7s %10s %9s %9s\n' sample BMP GIF PNG WebP WebP/BMP WebP-KB PNG-KB
for rt in "${scenes[@]}"; do
  s=$(basename "$rt" .RT)
  declare -A t=()
  for ((r = 0; r < runs; r++)); do
    for ((i = 0; i < ${#outs[@]}; i++)); do
      j=$(((i + r) % ${#outs[@]})) # each run starts with another output
      t[$j]+="$(ms "${outs[$j]}") "
    done
  done
  "$cli" join "$out/bmp/f_%04d.bmp" "$out/joined.webp" --frames $frames "${opts[@]}"
  cmp -s "$out/turn.webp" "$out/joined.webp" ||
    { echo "$s: the WebP file differs from its BMP frames joined" >&2; exit 1; }
  fps=() med=()
  for ((j = 0; j < ${#outs[@]}; j++)); do
    med[$j]=$(tr ' ' '\n' <<<"${t[$j]}" | grep . | median)
    fps[$j]=$(awk -v m="${med[$j]}" -v n=$frames 'BEGIN { printf "%.1f", n * 1000 / m }')
  done
  webp_kb=$(($(stat -c %s "$out/turn.webp") / 1024))
  png_kb=$(($(cat "$out"/png/*.png | wc -c) / 1024))
  awk -v s="$s" -v a="${fps[0]}" -v b="${fps[1]}" -v c="${fps[2]}" -v d="${fps[3]}" \
    -v r="$(awk -v w="${med[3]}" -v b="${med[0]}" 'BEGIN { print w / b }')" \
    -v wk="$webp_kb" -v pk="$png_kb" \
    'BEGIN { printf "%-12s %7.1f %7.1f %7.1f %7.1f %10.2f %9d %9d\n", s, a, b, c, d, r, wk, pk }'
  unset t
done
echo "frames a second of the whole process (${runs} runs each, median); WebP/BMP: the WebP run's"
echo "time over the BMP run's; KB: the WebP file, and the ${frames} PNG pictures together."
