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
rates=(30 60 144)
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
  line=$(cat "$work/game.out")
  [ -n "$line" ] || { echo "overlay_visibility_wine: no figures from the game" >&2; exit 1; }
  echo "$line"
}

# min/median/max of numbers, one decimal.
spread() {
  sort -g | awk '{ v[NR] = $1 } END { printf "%.1f / %.1f / %.1f", v[1], v[int((NR + 1) / 2)], v[NR] }'
}

table="| Game's rate | Way | Visible % | Game's frames/s reached | Latest sample, ms |
|---|---|---|---|---|"
for rate in "${rates[@]}"; do
  for way in direct window; do
    window=0
    [ "$way" = window ] && window=1
    visible=() reached=() late=()
    for ((run = 1; run <= runs; run++)); do
      read -r _ fps _ taken _ seen _ behind < <(measure "$window" "$rate")
      visible+=("$(awk -v s="$seen" -v t="$taken" 'BEGIN { printf "%.1f", 100 * s / t }')")
      reached+=("$fps")
      late+=("$behind")
      echo "rate $rate, $way, run $run: fps $fps, $seen of $taken samples visible, late $behind ms" >&2
    done
    name="straight onto the game"
    [ "$way" = window ] && name="overlay window"
    table+="
| $rate | $name | $(printf '%s\n' "${visible[@]}" | spread) | $(printf '%s\n' "${reached[@]}" | spread) | $(printf '%s\n' "${late[@]}" | spread) |"
  done
done

# The cost of a frame each way, over a window that does not repaint: 5 rounds of 2,000 frames
# a run, the ways taking turns.
frames=2000 rounds=5
for ((run = 1; run <= runs; run++)); do
  timeout 120 wine "$build/bin/frame_cost_probe.exe" "$frames" "$rounds" </dev/null
done >"$work/cost.out" 2>/dev/null
costs="| Way | Time per frame, µs | Heap allocations per $frames frames |
|---|---|---|"
for way in direct window; do
  name="straight onto the game"
  [ "$way" = window ] && name="overlay window"
  costs+="
| $name | $(awk -v w="$way" '$1 == w { print $3 }' "$work/cost.out" | spread) | $(awk -v w="$way" '$1 == w { print $5 }' "$work/cost.out" | sort -g | tail -n 1) (most of any round) |"
done

cpu="$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
section="$(cat <<EOT
<!-- overlay visibility under Wine: begin -->
## The clock over a repainting game, Windows build under Wine

Measured with \`$command\` on $(date -u +%Y-%m-%d), $(nproc) cores ($cpu), $(wine --version)
on Xvfb with no window manager, $runs runs of each case. The real program runs with the
overlay at (25, 315) and the way set in its settings file; a stand-in game
(\`tests/win32/repainting_game.cpp\`) holds the focus and paints its whole client area over at
the rate given, in two colours taken in turn, while one of its threads reads the 75 x 14
rectangle back from the screen every 5 ms for ${seconds} s. A sample counts as visible when at
least 80 % of the pixels the clock covers when drawn whole are the clock's (its white cells and
black or grey text). The program draws its 10 frames a second either way. Each cell gives
min / median / max over the runs; 1,200 samples a run. The rate reached is the game's own count
of frames over the sampling; the latest sample is the most any sample of a run came after its
moment.
To measure again: \`cmake --preset windows-x64 && cmake --build --preset windows-x64 &&
bench/overlay_visibility_wine.sh\`.

$table

What a frame costs each way, the core's six calls and the program's message pumping over a still
window of the probe's own, timed over $frames frames with \`tests/win32/frame_cost_probe.cpp\` in $((runs * rounds)) rounds ($runs runs of
$rounds, the two ways taking turns; min / median / max), with the heap allocations made
meanwhile:

$costs
<!-- overlay visibility under Wine: end -->
EOT
)"

doc=docs/performance.md
[ -f "$doc" ] || printf '# Performance\n' > "$doc"
if grep -q '<!-- overlay visibility under Wine: begin -->' "$doc"; then
  awk -v section="$section" '
    /<!-- overlay visibility under Wine: begin -->/ { print section; skipping = 1; next }
    /<!-- overlay visibility under Wine: end -->/ { skipping = 0; next }
    !skipping { print }' "$doc" > "$doc.new"
  mv "$doc.new" "$doc"
else
  printf '\n%s\n' "$section" >> "$doc"
fi
echo "$table"
echo "$costs"
