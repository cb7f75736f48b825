#!/usr/bin/env bash
# The timer handlers of a running stopwatch on the simulated platform, each beside the
# baseline of one key query measured in the same process: RUNS runs of timer_handlers_bench.
# Writes the figures into the timer-handler section of docs/performance.md.
#   bench/timer_handlers.sh [build folder] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
runs="${2:-7}"
bench="$build/bin/timer_handlers_bench"
[ -x "$bench" ] || { echo "timer_handlers: no $bench (build it first)" >&2; exit 1; }

# CPU time, not wall time: the machine may be shared, and a handler never waits.
rows="$(for _ in $(seq "$runs"); do
  "$bench" --benchmark_min_time=0.5 --benchmark_format=csv 2>/dev/null | grep '^"BM_'
done | python3 -c '
import csv, statistics, sys
times, runs = {}, int(sys.argv[1])
for row in csv.reader(sys.stdin):
    times.setdefault(row[0], []).append(float(row[3]))
base = times.pop("BM_KeyQuery")
names = {
    "BM_Timer1Tick": "`Timer1` tick: the poll of three plain bindings (one key query each) and the counting step",
    "BM_Timer1TickWithModifierBindings": "`Timer1` tick with every binding on Ctrl+Shift+Alt (twelve key queries)",
    "BM_Timer2Frame": "`Timer2` frame: the six platform calls",
}
def cell(t):
    return f"{statistics.median(t):.1f} ns ({min(t):.1f}-{max(t):.1f})"
print(f"| One key query (baseline) | {cell(base)} | 1 |")
for name, label in names.items():
    t = times[name]
    ratios = [a / b for a, b in zip(t, base)]
    print(f"| {label} | {cell(t)} | {statistics.median(ratios):.1f} |")
' "$runs")"

type="$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")"
cpu="$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
load="$(cut -d' ' -f1-3 /proc/loadavg)"
section="$(cat <<EOT
<!-- timer handler figures: begin -->
## The timer handlers on the simulated platform

Measured with \`bench/timer_handlers.sh $build $runs\` (Google Benchmark, a $type build) on
$(date -u +%Y-%m-%d), $(nproc) cores ($cpu), load average $load. Each cell: CPU time of one
call, median of $runs runs (fastest-slowest); the last column is the median of each run's
ratio to the baseline measured in the same run, one query of the simulated key state. The
stopwatch runs and draws; the simulated platform records each call instead of talking to a
server, so these are the core's own costs.

| Handler | Time | Times the baseline |
|---|---|---|
$rows

Neither handler allocates once the stopwatch runs: \`sim_allocation_test\` counts heap
allocations over a minute of ticks and frames and expects none.
<!-- timer handler figures: end -->
EOT
)"

source bench/doc_section.sh
put_section "timer handler figures" "$section"
echo "$section"
