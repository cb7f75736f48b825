#!/usr/bin/env bash
# Instructions executed per second while waiting, Tollivane beside its floors, counted by
# bench/idle_callgrind.sh, and written into the instructions section of docs/performance.md.
# Stopped, the floor is empty_timers (the timers doing nothing); running, drawing_floor (the
# same timers sending the text and reading the screen back). Each run counts both programs of a
# state at once, each on a server of its own: instructions do not change with the load that puts
# on the machine. Never two Tollivanes at once: the second would hand over to the first and end.
#   bench/idle_instructions.sh [build folder] [runs] [seconds per count]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
runs="${2:-5}"
seconds="${3:-30}"
command="bench/idle_instructions.sh $build $runs $seconds"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

count() {  # program state run
  # Tried again when the program did not start: servers started at once may race for a display.
  for _ in 1 2 3; do
    bench/idle_callgrind.sh "$build/bin/$1" "$2" "$seconds" "$build" 2>/dev/null |
      sed -n 's/^[a-z]*: \([0-9]*\) instructions\/s.*/\1/p' >"$work/$1.$2.$3" || true
    [ -s "$work/$1.$2.$3" ] && return
  done
  echo "no count of $1 $2" >&2
  exit 1
}
for run in $(seq "$runs"); do
  for state in stopped running; do
    count tollivane "$state" "$run" &
    sleep 5
    if [ "$state" = stopped ]; then
      count empty_timers "$state" "$run" &
    else
      count drawing_floor "$state" "$run" &
    fi
    wait
  done
done

# median (lowest-highest) of the numbers on standard input, divided by $1
spread() {
  sort -g | awk -v d="$1" -v f="$2" '{ v[NR] = $1 / d }
    END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
          printf f " (" f "-" f ")", m, v[1], v[NR] }'
}
# A row of the table: state, floor program, how the row and the floor are named.
row() {
  local ratios
  ratios="$(for run in $(seq "$runs"); do
    awk '{ getline f < ARGV[2]; printf "%.4f\n", $1 / f; exit }' \
      "$work/tollivane.$1.$run" "$work/$2.$1.$run"
  done)"
  echo "| $3 | $(cat "$work"/tollivane."$1".* | spread 1000 %.1f) | $4 | \
$(cat "$work"/"$2"."$1".* | spread 1000 %.1f) | $(echo "$ratios" | spread 1 %.2f) |"
}
rows="$(row stopped empty_timers Stopped "timers only (\`empty_timers\`)")
$(row running drawing_floor "Running (drawn 10 times a second, looked at twice)" \
  "drawing (\`drawing_floor\`)")"
type="$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")"
cpu="$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"

section="$(cat <<EOT
<!-- idle instruction figures: begin -->
## Instructions while waiting, on X11

Measured with \`$command\` (a $type build) on $(date -u +%Y-%m-%d), $(nproc) cores
($cpu), on Xvfb with no window manager and a stand-in game in front that never repaints.
Each run counts, under callgrind, the instructions Tollivane and a floor execute in $seconds s
of waiting, with the default settings, side by side, each on a server of its own. Running,
Tollivane draws the time onto the game ten times a second and looks at the screen twice a
second to see whether the game paints over it. Each floor is a Qt window that wakes exactly
as the two timers must: stopped, \`empty_timers\`, which does nothing more; running,
\`drawing_floor\`, which also sends at each wakeup one text request of the clock's twelve
characters into the game's window and flushes, and at every fifth reads back the 75 x 14
rectangle under it and waits for the reply: the least the running clock asks of the server.
The ratio is taken within each run. Medians of $runs runs, with the lowest and highest in
brackets.

| State | Tollivane (thousand instructions/s) | Floor | Floor (thousand instructions/s) | Ratio to the floor |
|---|---|---|---|---|
$rows

Where they go: \`bench/idle_callgrind.sh\` lists the functions that take the most.
<!-- idle instruction figures: end -->
EOT
)"

source bench/doc_section.sh
put_section "idle instruction figures" "$section"
echo "$rows"
