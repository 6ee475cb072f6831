#!/usr/bin/env bash
# Makes every picture of docs/guide.md from the scenes beside it
# (docs/scenes), with koru-cli, so that the pictures show what the program
# makes of the records the guide prints.
#   tools/guide-pictures.sh [--cli KORU_CLI] [OUT_DIR]
# KORU_CLI is build/cli/koru-cli by default, OUT_DIR docs/pictures. The
# pictures are committed, so the guide reads with its pictures on any Git
# host; the test guide.pictures makes them afresh in a scratch folder and
# compares them, dot for dot, with the committed ones.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=build/cli/koru-cli
if [ "${1:-}" = --cli ]; then
  cli=$2
  shift 2
fi
out=${1:-docs/pictures}
scenes=docs/scenes
mkdir -p "$out"

# render SCENE [PICTURE] [OPTION...]: docs/scenes/SCENE.RT into
# OUT_DIR/PICTURE.png (PICTURE is SCENE when not given), at the size the
# scene file gives unless an option says otherwise.
render() {
  local scene=$1 picture=${2:-$1}
  shift $(($# < 2 ? $# : 2))
  "$cli" render "$scenes/$scene.RT" "$out/$picture.png" "$@"
}

# the first scene: New Scene's, then with a box added and the sphere blue
render first first --size 240 180
render first-box first-box --size 240 180

# the primitive kinds, each on the same floor before the same wall
render gallery-plane
render gallery-box
render gallery-ellipsoid
render gallery-cylinder
render gallery-slab
render gallery-hyperbolic-cylinder
render gallery-hyperboloid-one
render gallery-hyperboloid-two
render gallery-double-cone
render gallery-cone
render gallery-crossing-planes

# groups, surfaces, patterns and lights
render csg-union
render csg-intersection
render csg-difference
render csg-piece
render surface-ka-kd
render surface-ks-npow
render surface-mirror
render surface-glass
render patterns
render lights

# one scene as a crossed stereo pair and as an anaglyph of one eye's size
render stereo stereo --stereo
render stereo anaglyph --anaglyph --size 160 120

# two key scenes of the piece's tunnels, narrow to wide and back
"$cli" animate "$scenes/tunnels-narrow.RT" "$scenes/tunnels-wide.RT" \
  "$scenes/tunnels-narrow.RT" "$out/tunnels.gif" --frames 16 --fps 8
