#!/usr/bin/env bash
# Measures how often the time can be seen over a stand-in game that repaints, with the default
# settings and with "Overlay window", with the real program on private Xvfb servers, and writes the figures into the
# overlay visibility section of docs/performance.md. Needs a build with the x11 tests
# (tollivane, standin_game and overlay_visibility_probe).
#   bench/overlay_visibility.sh [build folder] [runs] [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
runs="${2:-3}"
seconds="${3:-6}"
command="bench/overlay_visibility.sh $build $runs $seconds"

figures="$("$build/bin/overlay_visibility_probe" "$build/bin/tollivane" "$build/bin/standin_game" \
  "$runs" "$seconds")"
type="$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")"
cpu="$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"

section="$(cat <<EOT
<!-- overlay visibility figures: begin -->
## The time over a game that repaints, on X11

Measured with \`$command\` (a $type build) on $(date -u +%Y-%m-%d), $(nproc) cores
($cpu, shared with other work), on Xvfb with no window manager. Each run starts a fresh server,
Tollivane with the overlay at (25, 315), with the default settings or with "Overlay window"
on, and \`standin_game\`,
a window that holds the focus and fills its whole client area at the given rate, waiting for
the server each time; the stopwatch is started with its hotkey. For $seconds s the overlay's
rectangle is read back from the screen every 5 ms; a sample counts as visible when it shows
the clock text whole; over the same seconds the server's RECORD extension counts the requests
and round trips of Tollivane's two connections (Qt's and its own). Each cell: median of $runs
runs, with the lowest and highest in brackets. The game that never repaints is the check that
a drawn overlay is seen; "Overlay window", where every frame goes to the window of its own,
is the baseline of each run's figures. With the default settings the time is drawn onto the
game and looked at on the screen 300 ms after the start and every 500 ms from then on; once
two looks in a row see the game painting over it, it moves into the window of its own for as
long as that game stays in front. Sampling begins 1 s after the start, after those two looks. The round trips of the default settings over the
game that never repaints are those looks, two a second.

$figures
<!-- overlay visibility figures: end -->
EOT
)"

source bench/doc_section.sh
put_section "overlay visibility figures" "$section"
echo "$figures"
