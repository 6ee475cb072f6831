#!/usr/bin/env bash
# Install what KORU needs from Debian 12's packages: only those missing,
# with apt-get, as root or through sudo. Without either, the script names
# the packages to ask an administrator for, and stops.
#   tools/deps.sh            the build, the tests, the Debian package and the
#                            window: everything ./test.sh and CI's first stage use
#   tools/deps.sh --fuzz     also clang, its libFuzzer and clang-format (tools/fuzz.sh,
#                            tools/format.sh)
#   tools/deps.sh --extra    also the window-screenshot and benchmark tools
#   tools/deps.sh [--fuzz | --extra] --list
#                            the packages, one a line; nothing is installed
set -euo pipefail

# Everything lives in these lists, one package or group a line. The README's
# administrator line names the first list exactly; the test readme.commands
# compares them.
pkgs=(
  g++ cmake ninja-build                 # the build
  qt6-base-dev                          # the window (and its tests, Qt Test)
  libqscintilla2-qt6-dev                # the window's scene studio: its code editor
  qt6-tools-dev qt6-l10n-tools          # the window's translations (lupdate, lrelease)
  libpng-dev                            # PNG files
  pkgconf libwebp-dev libgif-dev        # animations: WebP and GIF files
  libgtest-dev libbenchmark-dev         # the tests and the benchmarks
  poppler-utils fonts-ipaexfont-gothic  # the printed page, checked with pdftocairo
  strace                                # durable saves, checked by their system calls
  desktop-file-utils appstream shared-mime-info man-db  # the installation's validators
  dpkg-dev file                         # cpack -G DEB: dpkg-shlibdeps and file
  lintian devscripts                    # the package checked as Debian checks it (hardening-check)
  parallel                              # an animation rendered one frame per job
)
fuzz=(clang libclang-rt-14-dev clang-format)
extra=(xvfb xauth x11-utils xdotool imagemagick openbox povray hyperfine)

list=0
for arg in "$@"; do
  case "$arg" in
    --fuzz) pkgs+=("${fuzz[@]}") ;;
    --extra) pkgs+=("${fuzz[@]}" "${extra[@]}") ;;
    --list) list=1 ;;
    *) echo "usage: tools/deps.sh [--fuzz | --extra] [--list]" >&2; exit 2 ;;
  esac
done
if [ $list -eq 1 ]; then
  printf '%s\n' "${pkgs[@]}"
  exit 0
fi

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "tools/deps.sh: these Debian packages are missing, and installing them needs root:" >&2
    echo "  apt-get install ${missing[*]}" >&2
    echo "Ask an administrator to run that line, then run this script again." >&2
    exit 1
  fi
  sudo=(sudo)
fi
echo "tools/deps.sh: installing ${#missing[@]} Debian packages and what they need:" >&2
echo "  ${missing[*]}" >&2
echo "tools/deps.sh: on a fresh system this is the slow part, a few minutes;" \
     "apt-get shows its progress" >&2
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
  "${missing[@]}"
echo "tools/deps.sh: done" >&2
