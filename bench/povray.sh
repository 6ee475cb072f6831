#!/usr/bin/env bash
# KORU against POV-Ray on the four bench scenes. Each scene is translated to
# POV-Ray's language by bench/rt2pov.py, then rendered at 1024 x 768 with one
# ray per dot by koru-cli and by POV-Ray, both on every core and both writing
# a 24-bit BMP, taking turns run after run. Prints the median wall time of
# each (the whole process: start, reading, tracing, writing the picture) and
# their ratio.
#   bench/povray.sh [koru-cli] [runs] [pictures-dir]
# koru-cli defaults to build/cli/koru-cli, runs to 7. With a pictures-dir the
# pictures of both are kept there (NAME-koru.bmp, NAME-povray.bmp) to compare.
# Needs python3 and POV-Ray 3.7 (apt-get install povray); POVRAY names
# another POV-Ray command.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${1:-build/cli/koru-cli}
runs=${2:-7}
pics=${3:-}
povray=${POVRAY:-povray}
threads=$(nproc)

[ -x "$cli" ] || { echo "no $cli: build KORU first" >&2; exit 1; }
command -v python3 >/dev/null || { echo "python3 is needed: apt-get install python3" >&2; exit 1; }
command -v "$povray" >/dev/null || { echo "POV-Ray is needed: apt-get install povray" >&2; exit 1; }
[ -z "$pics" ] || mkdir -p "$pics"

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

koru() { "$cli" render "bench/scenes/$1.RT" "$2" >/dev/null; }
pov() {
  # File_Gamma=1.0: the colours as traced, as KORU writes them
  "$povray" "+I$out/$1.pov" "+O$2" +FB +W1024 +H768 -A -D "+WT$threads" \
    File_Gamma=1.0 >"$out/pov.log" 2>&1 || { cat "$out/pov.log" >&2; return 1; }
}

# wall milliseconds of one run of the command
ms() {
  local a b
  a=$(date +%s%N)
  "$@"
  b=$(date +%s%N)
  echo $(((b - a) / 1000000))
}

median() { sort -n | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }

printf '%-8s %10s %10s %14s\n' scene KORU-s POV-Ray-s KORU/POV-Ray
for rt in bench/scenes/*.RT; do
  s=$(basename "$rt" .RT)
  python3 bench/rt2pov.py "$rt" >"$out/$s.pov"
  # a first run of each, untimed: files cached, pictures kept
  koru "$s" "$out/$s-koru.bmp"
  pov "$s" "$out/$s-povray.bmp"
  [ -z "$pics" ] || cp "$out/$s-koru.bmp" "$out/$s-povray.bmp" "$pics/"
  : >"$out/k" && : >"$out/p"
  for ((i = 0; i < runs; i++)); do
    # who goes first alternates too
    if ((i % 2 == 0)); then
      ms koru "$s" "$out/k.bmp" >>"$out/k"
      ms pov "$s" "$out/p.bmp" >>"$out/p"
    else
      ms pov "$s" "$out/p.bmp" >>"$out/p"
      ms koru "$s" "$out/k.bmp" >>"$out/k"
    fi
  done
  k=$(median <"$out/k")
  p=$(median <"$out/p")
  awk -v s="$s" -v k="$k" -v p="$p" 'BEGIN {
    printf "%-8s %10.3f %10.3f %14.3f\n", s, k / 1000, p / 1000, k / p }'
done
echo "medians of $runs runs, whole process, $threads threads each ($("$povray" --version 2>&1 | grep -m1 POV-Ray))"
