#!/usr/bin/env bash
# Install what KORU needs to build, test and run, from Debian's packages.
# Only packages that are missing are installed, with apt-get: as root, or
# through sudo. Without either, the script names the packages to ask an
# administrator for, and stops.
#   tools/deps.sh            build (libpng for PNG files), tests (the printed
#                            page is checked with poppler's pdftocairo, durable
#                            saves with strace, the installation with the desktop
#                            validators and man) and the window (Qt 6, and QScintilla for
#                            its scene studio)
#   tools/deps.sh --fuzz     also clang and its libFuzzer (tools/fuzz.sh)
#   tools/deps.sh --extra    also the fuzzing, window-screenshot and benchmark tools
set -euo pipefail

pkgs=(g++ cmake ninja-build libgtest-dev libbenchmark-dev qt6-base-dev libqscintilla2-qt6-dev poppler-utils
      fonts-ipaexfont-gothic strace libpng-dev desktop-file-utils appstream shared-mime-info
      man-db dpkg-dev pkgconf libwebp-dev libgif-dev parallel)
case "${1:-}" in
  --fuzz) pkgs+=(clang libclang-rt-14-dev) ;;
  --extra) pkgs+=(clang libclang-rt-14-dev xvfb xauth x11-utils xdotool imagemagick openbox povray
                  hyperfine) ;;
esac

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "tools/deps.sh: these Debian packages are missing, and installing them needs root:" >&2
    echo "  apt-get install ${missing[*]}" >&2
    echo "Ask an administrator to run that line, then run this script again." >&2
    exit 1
  fi
  sudo="sudo"
fi
echo "installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
