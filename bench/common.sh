# bench/common.sh - what the benchmark scripts share; sourced, not run.

# "-- OPTIONS -- SCENES" after a script's own arguments into the arrays
# opts and scenes (both empty when the first is not "--").
options_and_scenes() {
  opts=() scenes=()
  [ "${1:-}" = "--" ] || return 0
  shift
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do opts+=("$1"); shift; done
  [ "${1:-}" = "--" ] && shift
  scenes=("$@")
}

# The wall milliseconds a command takes, the disk flushed first (so that no
# run waits for the file the one before it left unwritten). The time comes
# from bash's EPOCHREALTIME, so no helper process is timed.
wall_ms() {
  local a b
  sync
  a=$EPOCHREALTIME
  "$@" >/dev/null
  b=$EPOCHREALTIME
  awk -v a="$a" -v b="$b" 'BEGIN { printf "%.1f\n", (b - a) * 1000 }'
}
