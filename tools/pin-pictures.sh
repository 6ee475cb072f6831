#!/usr/bin/env bash
# Pins the pictures anew: renders every picture tests/pinned-pictures.txt
# lists with the plain search and writes its SHA-256 there, in place of the
# old one (or of "-" on a new line). Those hashes are what the pinned.*
# tests hold the tracers to: run this only when a change is meant to change
# pictures (a fix to the shading, a new picture to pin), look at the
# pictures it names as changed, and say why in the commit.
#   tools/pin-pictures.sh [koru-cli]
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${1:-build/cli/koru-cli}
list=tests/pinned-pictures.txt
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "tools/pin-pictures.sh: writing the hashes of $list anew from $cli --plain." >&2
echo "Commit them only when the change to the pictures is meant." >&2
changed=0 total=0
while IFS= read -r line; do
  if [[ -z "${line// /}" || "$line" == \#* ]]; then
    printf '%s\n' "$line"
    continue
  fi
  read -r name hash scene opts <<<"$line"
  # shellcheck disable=SC2086 # the options are words
  "$cli" render "$scene" "$work/p.bmp" --plain $opts
  new=$(sha256sum "$work/p.bmp" | cut -d' ' -f1)
  total=$((total + 1))
  if [ "$new" != "$hash" ]; then
    changed=$((changed + 1))
    echo "  $name: $hash -> $new" >&2
  fi
  printf '%-18s %s  %s\n' "$name" "$new" "$scene${opts:+ $opts}"
done <"$list" >"$work/list"
cp "$work/list" "$list"
echo "$changed of $total pinned pictures changed." >&2
