#!/usr/bin/env bash
# Take docs/screenshot.png: KORU's window with a rendered sample, on a
# virtual X display (Xvfb), framed by openbox when it is installed.
#   tools/screenshot.sh [build/app/koru] [samples/room.RT]
# Needs xvfb, xdotool and imagemagick (tools/deps.sh --extra).
set -euo pipefail
cd "$(dirname "$0")/.."
koru=$(realpath "${1:-build/app/koru}")
scene=${2:-samples/room.RT}
out=docs/screenshot.png

work=$(mktemp -d /tmp/koru-XXXXXX)
mkdir -p "$work/samples" "$work/run"
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
export DISPLAY=:$n XDG_RUNTIME_DIR=$work/run
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
sleep 1
if command -v openbox >/dev/null; then
  openbox >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
fi

cd "$work/samples"
"$koru" "$(basename "$scene")" >/dev/null 2>&1 &
pids+=($!)
cd - >/dev/null
w=$(xdotool search --sync --onlyvisible --name "$(basename "$scene")" | head -1)
sleep 1

# full colour: Config(&C), then the third mode button, OK
xdotool windowfocus --sync "$w"
xdotool key alt+c
sleep 0.5
xdotool key Tab Tab Tab Down Down Return
sleep 0.5

# Make Image(&I), and wait for the render to end
xdotool windowfocus --sync "$w"
xdotool key alt+r
sleep 0.3
xdotool key i
sleep 1
while xdotool search --onlyvisible --name '^Tracing$' >/dev/null 2>&1; do sleep 0.5; done
sleep 1

import -window "$w" -frame "$out" 2>/dev/null || import -window "$w" "$out"
echo "wrote $out"
