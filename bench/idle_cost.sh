#!/usr/bin/env bash
# Measures what the real program costs while it waits, beside an empty-timer Qt program on the
# same private Xvfb, and writes the figures into the idle section of docs/performance.md.
# Needs a build with the x11 tests and the X resource extension (tollivane, idle_probe,
# empty_timers).
#   bench/idle_cost.sh [build folder] [runs] [seconds per state]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
runs="${2:-7}"
seconds="${3:-60}"
command="bench/idle_cost.sh $build $runs $seconds"

figures="$("$build/bin/idle_probe" "$build/bin/tollivane" "$build/bin/empty_timers" "$runs" "$seconds")"
type="$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")"
cpu="$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"

section="$(cat <<EOT
<!-- idle figures: begin -->
## Cost while waiting, on X11

Measured with \`$command\` (a $type build) on $(date -u +%Y-%m-%d), $(nproc) cores
($cpu, shared with other work), on Xvfb with no window manager and a window of the probe's
own in front. Each run starts Tollivane and the floor, \`empty_timers\` (a Qt window that
wakes exactly as the two timers must, 5 times a second stopped and 10 running, and does
nothing), side by side on one server, and measures both over the same seconds: processor time
from \`/proc/PID/task/*/schedstat\` (nanoseconds), X replies from the server's RECORD
extension, context switches from \`/proc/PID/task/*/status\`. The ratio is taken within each
run; the load average is the machine's one-minute figure as each window ends. Memory is read
at the end of the running state.

$figures
<!-- idle figures: end -->
EOT
)"

source bench/doc_section.sh
put_section "idle figures" "$section"
echo "$figures"
