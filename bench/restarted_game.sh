#!/usr/bin/env bash
# Measures how often the time can be seen over a game that was closed and started again and
# whose new window got the old one's id, both ways of showing it, with this build's program and
# a baseline program (an earlier build) in the same run, and writes the figures into the
# restarted game section of docs/performance.md. Needs a build with the x11 tests.
#   bench/restarted_game.sh <baseline tollivane> [build folder] [runs] [seconds] [baseline's name]
set -euo pipefail
cd "$(dirname "$0")/.."
baseline="${1:?usage: bench/restarted_game.sh <baseline tollivane> [build] [runs] [seconds]}"
build="${2:-build/default}"
runs="${3:-3}"
seconds="${4:-4}"
baseline_name="${5:-the program as it was before frames forgot a window id once it was handed out again}"
command="bench/restarted_game.sh <baseline> $build $runs $seconds"
probe="$build/bin/overlay_visibility_probe"

before="$("$probe" "$baseline" "$build/bin/standin_game" "$runs" "$seconds" restarted)"
after="$("$probe" "$build/bin/tollivane" "$build/bin/standin_game" "$runs" "$seconds" restarted)"
type="$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")"
cpu="$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"

section="$(cat <<EOT
<!-- restarted game figures: begin -->
## The time over a restarted game, on X11

Measured with \`$command\` (a $type build) on $(date -u +%Y-%m-%d), $(nproc) cores ($cpu,
shared with other work), on Xvfb with no window manager, as in the section above, except that
once the stopwatch runs \`standin_game\` is closed and started again until the server hands
its new window the old one's id (it does so whenever no other client connected meanwhile);
the samples begin 0.5 s later, for $seconds s. Each cell: median of $runs runs, with the lowest
and highest in brackets. The baseline is $baseline_name.

Baseline:

$before

This build:

$after
<!-- restarted game figures: end -->
EOT
)"

source bench/doc_section.sh
put_section "restarted game figures" "$section"
printf 'Baseline:\n%s\n\nThis build:\n%s\n' "$before" "$after"
