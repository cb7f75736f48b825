# Sourced by the end-to-end scripts: RUN-WINE PREFIX TOLLIVANE.EXE GAME.EXE from their
# arguments, Wine started on the build's Xvfb ("$WINELOADER" runs a program there), a scratch
# folder, and on exit every window and program they started taken away. `fail MESSAGE` ends
# the run with the script's name.
set -euo pipefail
run_wine=$1 prefix=$2 program=$3 game=$4
eval "$("$run_wine" "$prefix" --env "$program")"
work=$(mktemp -d)
pids=()
cleanup() {
  for window in $(xdotool search --name '^(Tollivane|Stand-in game)$' 2>/dev/null); do
    xdotool windowkill "$window" 2>/dev/null || true
  done
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "$(basename "$0" .sh): $1" >&2
  exit 1
}
# `wait_for SECONDS COMMAND...`: runs the command until it succeeds, for at most that long; a
# loaded machine only makes the wait longer.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}
