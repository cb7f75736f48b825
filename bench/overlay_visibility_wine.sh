#!/usr/bin/env bash
# How often the clock can be seen over a game that repaints, for the Windows program under Wine
# on the build's Xvfb, with the default settings (drawn onto the game until it is seen painting
# over the clock) and with "Overlay window" on; writes the figures into their section of
# docs/performance.md, with what a frame costs each way. Needs the windows-x64 build
# (tollivane, repainting_game and frame_cost_probe). Given another tollivane.exe, an older
# one say, it measures that program over the build's games and only prints its figures.
#   bench/overlay_visibility_wine.sh [build folder] [runs] [tollivane.exe]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/windows-x64}"
runs="${2:-3}"
program="${3:-$build/bin/tollivane.exe}"
command="bench/overlay_visibility_wine.sh $build $runs"
rates=(0 30 60 144)  # 0: never repaints
seconds=6

prefix="$(realpath "$build")/wine"
eval "$(cmake/run-wine.sh "$prefix" --env "$build/bin/repainting_game.exe")"
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# One run: the program started with the settings given (window=1, or nothing more for the
# default), the game in front, the clock started with its built-in start key F5; prints the
# game's line (fps, samples, visible).
measure() {
  local settings=$1 rate=$2 tollivane game tollivane_pid game_pid line
  rm -rf "$work/run" && mkdir "$work/run"
  cp "$program" "$work/run/tollivane.exe"
  printf '[rect]\r\nX=25\r\nY=315\r\n%b' "$settings" > "$work/run/Tollivane.ini"
  (cd "$work/run" && exec timeout 60 "$WINELOADER" tollivane.exe) </dev/null >/dev/null 2>&1 &
  tollivane_pid=$!
  pids+=("$tollivane_pid")
  tollivane=$(timeout 30 xdotool search --sync --name '^Tollivane$' | head -n 1)
  timeout 60 "$WINELOADER" "$build/bin/repainting_game.exe" "$rate" "$seconds" 3 </dev/null \
    >"$work/game.out" 2>/dev/null &
  game_pid=$!
  game=$(timeout 30 xdotool search --sync --name '^Stand-in game$' | head -n 1)
  xdotool windowfocus --sync "$game" 2>/dev/null || true
  sleep 0.5
  xdotool keydown F5 && sleep 0.5 && xdotool keyup F5
  wait "$game_pid" || true
  xdotool windowkill "$tollivane" 2>/dev/null || true
  kill "$tollivane_pid" 2>/dev/null || true
  wait "$tollivane_pid" 2>/dev/null || true
  line=$(tr -d '\r' <"$work/game.out")
  [ -n "$line" ] || { echo "overlay_visibility_wine: no figures from the game" >&2; exit 1; }
  echo "$line"
}

# The median of numbers with the lowest and highest in brackets, one decimal.
spread() {
  sort -g | awk '{ v[NR] = $1 }
    END { printf "%.1f (%.1f-%.1f)", v[int((NR + 1) / 2)], v[1], v[NR] }'
}

visible_table="| Stand-in game | default settings | Overlay window |
|---|---|---|"
timing_table="| Stand-in game | Frames/s reached, default | Frames/s reached, Overlay window | Latest sample (ms), default | Latest sample (ms), Overlay window |
|---|---|---|---|---|"
for rate in "${rates[@]}"; do
  game="repaints at $rate fps"
  [ "$rate" = 0 ] && game="never repaints"
  visible_row="| $game |" reached_row="" late_row=""
  for settings in '' 'window=1\r\n'; do
    visible=() reached=() late=()
    for ((run = 1; run <= runs; run++)); do
      read -r _ fps _ taken _ seen _ behind _ < <(measure "$settings" "$rate")
      visible+=("$(awk -v s="$seen" -v t="$taken" 'BEGIN { printf "%.1f", 100 * s / t }')")
      reached+=("$fps")
      late+=("$behind")
      echo "rate $rate, ${settings:-default}, run $run: fps $fps, $seen of $taken samples seen," \
        "latest $behind ms" >&2
    done
    visible_row+=" $(printf '%s\n' "${visible[@]}" | spread | sed 's/ / % /') |"
    reached_row+=" $(printf '%s\n' "${reached[@]}" | spread) |"
    late_row+=" $(printf '%s\n' "${late[@]}" | spread) |"
  done
  visible_table+="
$visible_row"
  timing_table+="
| $game |$reached_row$late_row"
done

if [ $# -ge 3 ]; then
  printf '%s: %s\n\n%s\n\n%s\n' "$program" "$command $program" "$visible_table" "$timing_table"
  exit 0
fi

# The cost of a frame each way, over a window that does not repaint: 5 rounds of 2,000 frames
# a run, the ways taking turns.
frames=2000 rounds=5
for ((run = 1; run <= runs; run++)); do
  timeout 120 "$WINELOADER" "$build/bin/frame_cost_probe.exe" "$frames" "$rounds" </dev/null
done 2>/dev/null | tr -d '\r' >"$work/cost.out"
costs="| Way | Time per frame (µs) | Heap allocations per $frames frames, most of any round |
|---|---|---|"
for way in direct window; do
  name="default settings, drawn onto the window"
  [ "$way" = window ] && name="Overlay window"
  costs+="
| $name | $(awk -v w="$way" '$1 == w { print $3 }' "$work/cost.out" | spread) | $(awk -v w="$way" '$1 == w { print $5 }' "$work/cost.out" | sort -g | tail -n 1) |"
done

cpu="$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
section="$(cat <<EOT
<!-- overlay visibility under Wine: begin -->
## The time over a game that repaints, Windows build under Wine

Measured with \`$command\` on $(date -u +%Y-%m-%d), $(nproc) cores ($cpu, shared with other
work), $("$WINELOADER" --version) on Xvfb with no window manager. Each run starts the real program with
the overlay at (25, 315) and the default settings, or with \`window=1\` ("Overlay window"), and
a stand-in game
(\`tests/win32/repainting_game.cpp\`) that holds the focus and paints its whole client area at
the given rate, in two colours taken in turn; the stopwatch is started with its hotkey. For
${seconds} s one of the game's threads reads the overlay's 75 x 14 rectangle back from the screen
every 5 ms (1,200 samples a run); a sample counts as visible when at least 80 % of the pixels
the clock covers when drawn whole are the clock's white cells and black or grey text. The
program draws 10 frames a second either way. Each cell: median of $runs runs, with the lowest
and highest in brackets. With the default settings the clock is drawn onto the game until two
looks at the screen in a row (at the third frame, then every fifth) find the game painted over
it, and goes into its window of its own from then on; the game that never repaints is the check that it stays drawn onto a
game that does not; "Overlay window" is the baseline of each run's figures. To measure again:
\`cmake --preset windows-x64 && cmake --build --preset windows-x64 &&
bench/overlay_visibility_wine.sh\`.

Samples in which the time is seen:

$visible_table

The game's own count of its frames over the sampling, and the most any sample of a run came
after its moment:

$timing_table

What a frame costs each way: the six calls of a frame and the program's message pumping, with
the default settings' look at the screen every fifth frame, over a still window of the probe's
own (\`tests/win32/frame_cost_probe.cpp\`), $frames frames a
round, $rounds rounds a run with the two ways taking turns, $runs runs; with the heap
allocations made meanwhile:

$costs
<!-- overlay visibility under Wine: end -->
EOT
)"

source bench/doc_section.sh
put_section "overlay visibility under Wine" "$section"
printf '%s\n\n%s\n\n%s\n' "$visible_table" "$timing_table" "$costs"
