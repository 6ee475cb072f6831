#!/usr/bin/env bash
# Take docs/screenshot.png: KORU's window in live view with a sample seen
# from a camera moved by the mouse, the RayTrace menu open, on a virtual X
# display (Xvfb), framed by openbox when it is installed.
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
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
sleep 1
if command -v openbox >/dev/null; then
  openbox >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
fi

cd "$work/samples"
"$koru" --live --mode 2 "$(basename "$scene")" >/dev/null 2>&1 &
pids+=($!)
cd - >/dev/null
w=$(xdotool search --sync --onlyvisible --name "$(basename "$scene")" | head -1)
sleep 2

# a drag to the right and a little down over the picture turns the camera
eval "$(xdotool getwindowgeometry --shell "$w")"
x0=$((X + 200)) y0=$((Y + 250))
xdotool mousemove "$x0" "$y0" mousedown 1
for i in $(seq 1 12); do
  xdotool mousemove $((x0 + 5 * i)) $((y0 + i)); sleep 0.03
done
xdotool mouseup 1
sleep 2

# the RayTrace menu, with Live view ticked
xdotool windowfocus --sync "$w"
xdotool key alt+r
sleep 0.7

# the screen where the framed window lies: the open menu is a window of
# its own, which a shot of the main window alone would leave black
eval "$(xwininfo -id "$w" | awk '
  /Absolute upper-left X/ {print "fx=" $NF} /Absolute upper-left Y/ {print "fy=" $NF}
  /Width:/ {print "fw=" $NF} /Height:/ {print "fh=" $NF}')"
read -r l r t b < <(xprop -id "$w" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
fx=$((fx - ${l:-0})) fy=$((fy - ${t:-0}))
fw=$((fw + ${l:-0} + ${r:-0})) fh=$((fh + ${t:-0} + ${b:-0}))
import -window root -crop "${fw}x${fh}+${fx}+${fy}" +repage "$out"
echo "wrote $out"
