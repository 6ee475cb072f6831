#!/usr/bin/env bash
# Chunks of frames: koru-cli animate --frame A-B run as separate processes
# by GNU parallel (on this machine, through its sshlogin form as for other
# hosts), as the README's example runs them, then koru-cli join. The joined
# WebP and GIF files must be those that one process makes, byte for byte.
#   tests/parallel_join.sh KORU-CLI SCENE.RT
set -euo pipefail
cli=$1
scene=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

args=(--frames 12 --orbit 360 --size 64 48 --threads 1)
"$cli" animate "$scene" one.webp "${args[@]}" --fps 12
"$cli" animate "$scene" one.gif "${args[@]}" --fps 12

mkdir frames
seq 0 4 11 | awk '{ print $1 "-" ($1 + 3) }' | parallel --will-cite -q -S 2/: --workdir . \
    "$cli" animate "$scene" 'frames/frame_%04d.png' "${args[@]}" --frame {}
"$cli" join 'frames/frame_%04d.png' joined.webp --fps 12 --frames 12
"$cli" join 'frames/frame_%04d.png' joined.gif --fps 12 --frames 12

ls frames | wc -l | grep -qx 12 || { echo "parallel made $(ls frames | wc -l) frames, not 12"; exit 1; }
cmp one.webp joined.webp
cmp one.gif joined.gif
echo "12 frames in chunks of 4 by GNU parallel, joined: the same WebP and GIF files as one process makes"
