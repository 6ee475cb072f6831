# Bash completion for KORU's programs, koru-cli and koru. Installed as
# completions/koru-cli and completions/koru, where bash-completion finds
# them by the command's name; sourcing it by hand works as well.
#
# koru-cli says itself what may come at each place of its command line
# (koru-cli complete INDEX WORD...): commands, options, their values,
# which files, and the field names of the scene file given, so nothing
# here can fall behind it. koru's few options are listed here.

# The words of the line up to the cursor, split at blanks only: not at '='
# or ':', where bash would split a field's name and its value. The last is
# the word being completed ("" after a blank).
_koru_words()
{
    local line=${COMP_LINE:0:COMP_POINT}
    read -ra _koru_w <<<"$line"
    if [[ -z $line || $line == *[[:space:]] ]]; then
        _koru_w+=("")
    fi
}

# Adds to COMPREPLY the names beginning with $1 of folders and of files
# ending in one of the extensions after it (any case; none: every file).
_koru_files()
{
    local cur=$1 f lower ext
    shift
    compopt -o filenames 2>/dev/null
    while IFS= read -r f; do
        if [[ -d $f || $# -eq 0 ]]; then
            COMPREPLY+=("$f")
            continue
        fi
        lower=${f,,}
        for ext in "$@"; do
            if [[ $lower == *."$ext" ]]; then
                COMPREPLY+=("$f")
                break
            fi
        done
    done < <(compgen -f -- "$cur")
}

_koru_cli()
{
    local -a _koru_w words
    _koru_words
    local cur=${_koru_w[-1]} prog=${_koru_w[0]/#\~/$HOME} w i
    [[ $prog == */* && -x $prog ]] || prog=koru-cli
    # the words before the cursor as the program will see them: quotes
    # around a name taken off, ~ at its start made the home folder
    for ((i = 1; i < ${#_koru_w[@]} - 1; i++)); do
        w=${_koru_w[i]}
        if [[ $w == \"*\" || $w == \'*\' ]]; then
            w=${w:1:${#w}-2}
        fi
        words+=("${w/#\~\//$HOME/}")
    done
    words+=("$cur")
    # bash replaces only what follows the last '=' or ':' of the word
    local keep=${cur%"${cur##*[=:]}"} line
    COMPREPLY=()
    while IFS= read -r line; do
        case $line in
        :nospace) compopt -o nospace 2>/dev/null ;;
        :files*) _koru_files "$cur" ${line#:files} ;;
        *) COMPREPLY+=("${line#"$keep"}") ;;
        esac
    done < <("$prog" complete $((${#words[@]} - 1)) "${words[@]}" 2>/dev/null)
}
complete -F _koru_cli koru-cli

_koru()
{
    local -a _koru_w
    _koru_words
    local cur=${_koru_w[-1]} prev=
    ((${#_koru_w[@]} > 2)) && prev=${_koru_w[-2]}
    COMPREPLY=()
    case $prev in
    --mode)
        mapfile -t COMPREPLY < <(compgen -W "0 1 2" -- "$cur")
        return
        ;;
    --zoom)
        mapfile -t COMPREPLY < <(compgen -W "50 75 100 150 200 300 400" -- "$cur")
        return
        ;;
    -platform)
        mapfile -t COMPREPLY < <(compgen -W "xcb wayland offscreen" -- "$cur")
        return
        ;;
    -display | -style | -stylesheet | -geometry | -qwindowgeometry | -qwindowtitle | -session)
        return
        ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "--live --studio --mode --zoom --help" -- "$cur")
        return
    fi
    _koru_files "$cur" rt bmp png
}
complete -F _koru koru
