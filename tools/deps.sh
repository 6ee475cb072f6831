#!/usr/bin/env bash
# Install what KORU needs to build, test and run, from Debian's packages.
# Only packages that are missing are installed; run as root or with sudo.
#   tools/deps.sh            build (libpng for PNG files), tests (the printed
#                            page is checked with poppler's pdftocairo, durable
#                            saves with strace) and the window
#   tools/deps.sh --fuzz     also clang and its libFuzzer (tools/fuzz.sh)
#   tools/deps.sh --extra    also the fuzzing, window-screenshot and benchmark tools
set -euo pipefail

pkgs=(g++ cmake ninja-build libgtest-dev libbenchmark-dev qt6-base-dev poppler-utils
      fonts-ipaexfont-gothic strace libpng-dev)
case "${1:-}" in
  --fuzz) pkgs+=(clang libclang-rt-14-dev) ;;
  --extra) pkgs+=(clang libclang-rt-14-dev xvfb xauth xdotool imagemagick openbox povray hyperfine) ;;
esac

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
