#!/usr/bin/env bash
# completion_test.sh COMPLETION CLI_DIR ROOM.RT [KORU]
#
# The bash completion as a user's shell runs it: the script sourced, then
# asked what <Tab> offers at the end of a line, with the koru-cli of CLI_DIR
# first on the PATH, in a folder that holds a scene, a picture, a text file
# and a folder. With KORU, koru's offered options are those its --help names.
set -euo pipefail
comp=$1 clidir=$2 room=$3 koru=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$room" "$work/room.RT"
touch "$work/notes.txt" "$work/old.BMP"
mkdir "$work/scenes"
cd "$work"
export PATH="$clidir:$PATH"
# shellcheck source=/dev/null
source "$comp"

failed=0

# What <Tab> at the end of the line $1 offers, one a line, sorted.
offers()
{
    COMP_LINE=$1
    COMP_POINT=${#1}
    COMPREPLY=()
    case $1 in
    koru-cli*) _koru_cli ;;
    koru*) _koru ;;
    esac
    ((${#COMPREPLY[@]})) && printf '%s\n' "${COMPREPLY[@]}" | sort
    return 0
}

# check LINE WANT...: the offers are exactly WANT (in any order).
check()
{
    local line=$1 got want
    shift
    got=$(offers "$line")
    want=$( (($#)) && printf '%s\n' "$@" | sort)
    if [[ $got != "$want" ]]; then
        printf 'FAIL: "%s<Tab>"\n  offers: %s\n  wanted: %s\n' "$line" "${got//$'\n'/ }" \
            "${want//$'\n'/ }"
        failed=1
    fi
}

# has LINE WANT...: WANT are among the offers.
has()
{
    local line=$1 got w
    shift
    got=$(offers "$line")
    for w in "$@"; do
        if ! grep -qxF -- "$w" <<<"$got"; then
            printf 'FAIL: "%s<Tab>" does not offer %s\n  offers: %s\n' "$line" "$w" "${got//$'\n'/ }"
            failed=1
        fi
    done
}

has "koru-cli " render info check explain display pick set new animate join thumbnail --help
has "koru-cli set room.RT prim" "primitive[1]." "primitive[3]." "primitive[27]."
[[ $(offers "koru-cli set room.RT prim" | wc -l) -eq 27 ]] || {
    echo "FAIL: room.RT has 27 primitives"
    failed=1
}
check "koru-cli set room.RT primitive[3].c" "primitive[3].col.r=" "primitive[3].col.g=" \
    "primitive[3].col.b="
check "koru-cli set room.RT light[2].bright=0.5 l" "light[1]." "light[2]."
check "koru-cli set room.RT primitive[3].col.r=" 215
check "koru-cli render " room.RT scenes
check "koru-cli render ro" room.RT
check "koru-cli render room.RT " old.BMP scenes
check "koru-cli render room.RT out.png --a" --aa --anaglyph
check "koru-cli render room.RT out.png --aa 1" 1
check "koru-cli new --template " start csg glass quadrics stereo
check "koru-cli thumbnail room.RT x.png --size 2" 256
check "koru " old.BMP room.RT scenes
check "koru --mode " 0 1 2
if [[ -n $koru ]]; then
    mapfile -t named < <("$koru" --help | grep -o -- '--[a-z]*' | sort -u)
    check "koru --" "${named[@]}"
fi
exit $failed
