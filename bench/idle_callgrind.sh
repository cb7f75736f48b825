#!/usr/bin/env bash
# Where the idle cost goes, counted in instructions, which a busy machine does not change:
# runs Tollivane, or a floor (empty_timers, told its state, or drawing_floor, which draws onto
# the game as the running clock must), under callgrind on a private Xvfb with a stand-in game
# in front, and counts what it executes in `seconds` of waiting, stopped or running (F5
# pressed).
#   bench/idle_callgrind.sh <tollivane, empty_timers or drawing_floor> <stopped|running> \
#     [seconds] [build]
# Prints instructions per second and the functions that take the most (inclusive). With
# CALLGRIND_OUT set, the count is also kept there, for callgrind_annotate.
set -euo pipefail
cd "$(dirname "$0")/.."
program="$(realpath "$1")"
state="$2"
seconds="${3:-60}"
build="${4:-build/default}"
work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/display")"

# In a folder of its own, so that it reads no settings file but the defaults.
name="$(basename "$program")"
cp "$program" "$work/$name"
arguments=()
[ "$name" = empty_timers ] && arguments=("$state")
HOME="$work" valgrind --tool=callgrind --instr-atstart=no \
  --callgrind-out-file="$work/callgrind.out" "$work/$name" "${arguments[@]}" \
  2>"$work/valgrind.log" &
app=$!
pids+=($app)
for _ in $(seq 600); do
  timeout 5 xdotool search --name '^(Tollivane|Empty timers|Drawing floor)$' >/dev/null 2>&1 && break
  kill -0 "$app" 2>/dev/null || { cat "$work/valgrind.log" >&2; exit 1; }
  sleep 0.2
done
sleep 2
"$build/bin/standin_game" 0 $((seconds + 60)) 400 0 >/dev/null &
pids+=($!)
sleep 2
if [ "$state" = running ] && [ "$name" = tollivane ]; then
  # Held over a poll: a tap would be seen only if the press is remembered.
  xdotool keydown F5
  sleep 0.5
  xdotool keyup F5
fi
sleep 3
callgrind_control -i on "$app" >/dev/null
sleep "$seconds"
callgrind_control -d "$app" >/dev/null
sleep 1
dump="$(ls "$work"/callgrind.out.* | head -1)"
[ -n "${CALLGRIND_OUT:-}" ] && cp "$dump" "$CALLGRIND_OUT"
total="$(callgrind_annotate "$dump" | sed -n 's/^\([0-9,]*\) (100.0%).*PROGRAM TOTALS.*/\1/p' |
  tr -d ,)"
echo "$state: $((total / seconds)) instructions/s over $seconds s"
callgrind_annotate --inclusive=yes "$dump" 2>/dev/null | sed -n '/file:function/,$p' | head -80
echo
callgrind_annotate "$dump" 2>/dev/null | sed -n '/file:function/,$p' | head -40
