#!/usr/bin/env bash
# How often the clock can be seen over a game that repaints, for the Windows program under Wine
# on the build's Xvfb, drawn straight onto the game and through the overlay window; writes the
# figures into their section of docs/performance.md, with what a frame costs each way. Needs the
# windows-x64 build (tollivane, repainting_game and frame_cost_probe).
#   bench/overlay_visibility_wine.sh [build folder] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/windows-x64}"
runs="${2:-3}"
command="bench/overlay_visibility_wine.sh $build $runs"
rates=(0 30 60 144)  # 0: never repaints
seconds=6

prefix="$(realpath "$build")/wine"
cmake/run-wine.sh "$prefix" --start
export WINEPREFIX="$prefix" WINEDEBUG=-all DISPLAY=":$(cat "$prefix.display")"
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# One run: the program started with the way given, the game in front, the clock started with
# its built-in start key F5; prints the game's line (fps, samples, visible).
measure() {
  local window=$1 rate=$2 program game tollivane_pid game_pid line
  rm -rf "$work/run" && mkdir "$work/run"
  cp "$build/bin/tollivane.exe" "$work/run/"
  printf '[rect]\r\nX=25\r\nY=315\r\nwindow=%s\r\n' "$window" > "$work/run/Tollivane.ini"
  (cd "$work/run" && exec timeout 60 wine tollivane.exe) </dev/null >/dev/null 2>&1 &
  tollivane_pid=$!
  pids+=("$tollivane_pid")
  program=$(timeout 30 xdotool search --sync --name '^Tollivane$' | head -n 1)
  timeout 60 wine "$build/bin/repainting_game.exe" "$rate" "$seconds" 3 </dev/null \
    >"$work/game.out" 2>/dev/null &
  game_pid=$!
  game=$(timeout 30 xdotool search --sync --name '^Stand-in game$' | head -n 1)
  xdotool windowfocus --sync "$game" 2>/dev/null || true
  sleep 0.5
  xdotool keydown F5 && sleep 0.5 && xdotool keyup F5
  wait "$game_pid" || true
  xdotool windowkill "$program" 2>/dev/null || true
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

visible_table="| Stand-in game | drawn onto the game | window of its own |
|---|---|---|"
timing_table="| Stand-in game | Frames/s reached, drawn onto | Frames/s reached, own window | Latest sample (ms), drawn onto | Latest sample (ms), own window |
|---|---|---|---|---|"
for rate in "${rates[@]}"; do
  game="repaints at $rate fps"
  [ "$rate" = 0 ] && game="never repaints"
  visible_row="| $game |" reached_row="" late_row=""
  for window in 0 1; do
    visible=() reached=() late=()
    for ((run = 1; run <= runs; run++)); do
      read -r _ fps _ taken _ seen _ behind _ < <(measure "$window" "$rate")
      visible+=("$(awk -v s="$seen" -v t="$taken" 'BEGIN { printf "%.1f", 100 * s / t }')")
      reached+=("$fps")
      late+=("$behind")
      echo "rate $rate, window=$window, run $run: fps $fps, $seen of $taken samples seen," \
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

# The cost of a frame each way, over a window that does not repaint: 5 rounds of 2,000 frames
# a run, the ways taking turns.
frames=2000 rounds=5
for ((run = 1; run <= runs; run++)); do
  timeout 120 wine "$build/bin/frame_cost_probe.exe" "$frames" "$rounds" </dev/null
done 2>/dev/null | tr -d '\r' >"$work/cost.out"
costs="| Way | Time per frame (µs) | Heap allocations per $frames frames, most of any round |
|---|---|---|"
for way in direct window; do
  name="drawn onto the game"
  [ "$way" = window ] && name="window of its own"
  costs+="
| $name | $(awk -v w="$way" '$1 == w { print $3 }' "$work/cost.out" | spread) | $(awk -v w="$way" '$1 == w { print $5 }' "$work/cost.out" | sort -g | tail -n 1) |"
done

cpu="$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
section="$(cat <<EOT
<!-- overlay visibility under Wine: begin -->
## The time over a game that repaints, Windows build under Wine

Measured with \`$command\` on $(date -u +%Y-%m-%d), $(nproc) cores ($cpu, shared with other
work), $(wine --version) on Xvfb with no window manager. Each run starts the real program with
the overlay at (25, 315) and the way set in its settings file, and a stand-in game
(\`tests/win32/repainting_game.cpp\`) that holds the focus and paints its whole client area at
the given rate, in two colours taken in turn; the stopwatch is started with its hotkey. For
${seconds} s one of the game's threads reads the overlay's 75 x 14 rectangle back from the screen
every 5 ms (1,200 samples a run); a sample counts as visible when at least 80 % of the pixels
the clock covers when drawn whole are the clock's white cells and black or grey text. The
program draws 10 frames a second either way. Each cell: median of $runs runs, with the lowest
and highest in brackets. The game that never repaints is the check that a drawn clock is seen;
the way drawn onto the game is the baseline of each run's figures. To measure again:
\`cmake --preset windows-x64 && cmake --build --preset windows-x64 &&
bench/overlay_visibility_wine.sh\`.

Samples in which the time is seen:

$visible_table

The game's own count of its frames over the sampling, and the most any sample of a run came
after its moment:

$timing_table

What a frame costs each way: the six calls of a frame and the program's message pumping, over
a still window of the probe's own (\`tests/win32/frame_cost_probe.cpp\`), $frames frames a
round, $rounds rounds a run with the two ways taking turns, $runs runs; with the heap
allocations made meanwhile:

$costs
<!-- overlay visibility under Wine: end -->
EOT
)"

source bench/doc_section.sh
put_section "overlay visibility under Wine" "$section"
printf '%s\n\n%s\n\n%s\n' "$visible_table" "$timing_table" "$costs"
