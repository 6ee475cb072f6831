#!/usr/bin/env bash
# Take docs/screenshot.png: KORU's studio with a sample's text, its outline
# and one primitive selected (outlined on the picture, open in the
# inspector), on a virtual X display (Xvfb), framed by openbox when it is
# installed.
#   tools/screenshot.sh [build/app/koru] [samples/room.RT]
# Needs xvfb, xdotool and imagemagick (tools/deps.sh --extra).
set -euo pipefail
cd "$(dirname "$0")/.."
koru=$(realpath "${1:-build/app/koru}")
scene=${2:-samples/room.RT}
out=docs/screenshot.png

work=$(mktemp -d /tmp/koru-XXXXXX)
mkdir -p "$work/samples" "$work/run" "$work/config"
chmod 700 "$work/run"
cp "$scene" "$work/samples/"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# a free display number
n=90
while [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
export DISPLAY=:$n XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config
Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
sleep 1
if command -v openbox >/dev/null; then
  openbox >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
fi

cd "$work/samples"
"$koru" --studio --mode 2 "$(basename "$scene")" >/dev/null 2>&1 &
pids+=($!)
cd - >/dev/null
w=$(xdotool search --sync --onlyvisible --name "$(basename "$scene")" | head -1)
sleep 4

# the cursor into the record of the red ball on its pillar (room.RT's
# primitive 19, line 27): the outline, the inspector and the picture's
# outline follow it
eval "$(xdotool getwindowgeometry --shell "$w")"
xdotool mousemove $((X + 120)) $((Y + 300)) click 1
xdotool key ctrl+Home
for i in $(seq 1 26); do xdotool key Down; done
sleep 3
xdotool mousemove $((X + WIDTH - 5)) $((Y + HEIGHT + 40))
sleep 0.5

# the screen where the framed window lies, its frame included
eval "$(xwininfo -id "$w" | awk '
  /Absolute upper-left X/ {print "fx=" $NF} /Absolute upper-left Y/ {print "fy=" $NF}
  /Width:/ {print "fw=" $NF} /Height:/ {print "fh=" $NF}')"
read -r l r t b < <(xprop -id "$w" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
fx=$((fx - ${l:-0})) fy=$((fy - ${t:-0}))
fw=$((fw + ${l:-0} + ${r:-0})) fh=$((fh + ${t:-0} + ${b:-0}))
import -window root -crop "${fw}x${fh}+${fx}+${fy}" +repage "$out"
echo "wrote $out"
