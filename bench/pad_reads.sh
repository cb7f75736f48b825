#!/usr/bin/env bash
# What reading the pads costs while none is attached, as the poll reads them once a binding is
# set: the reads' instructions under callgrind (SDL's start, at the first read, left out), the
# threads the process has before SDL and after, and its wakeups beyond the poll's own. Written
# into the pad section of docs/performance.md, beside the floor of the instructions section.
#   bench/pad_reads.sh [build folder] [runs] [reads per run]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
runs="${2:-5}"
reads="${3:-50}"
command="bench/pad_reads.sh $build $runs $reads"
probe="$build/bin/pad_reads"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

for run in $(seq "$runs"); do
  "$probe" "$reads" >>"$work/native"
  valgrind --tool=callgrind --collect-atstart=no --toggle-collect='measuredRead(*' \
    --callgrind-out-file="$work/callgrind.$run" "$probe" "$reads" >/dev/null 2>&1
  callgrind_annotate "$work/callgrind.$run" |
    sed -n 's/^\([0-9,]*\) (100.0%).*PROGRAM TOTALS.*/\1/p' | tr -d , |
    awk -v n="$reads" '{ printf "%.0f\n", $1 / n }' >>"$work/per_read"
done

# median (lowest-highest) of the numbers on standard input, divided by $1
spread() {
  sort -g | awk -v d="$1" -v f="$2" '{ v[NR] = $1 / d }
    END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
          printf f " (" f "-" f ")", m, v[1], v[NR] }'
}
per_read="$(spread 1 %.0f <"$work/per_read")"
per_second="$(spread 200 %.1f <"$work/per_read")"  # five reads a second, in thousands
threads="$(awk '{ print $2 " before SDL, " $3 " after" }' "$work/native" | sort -u | paste -sd ';')"
wakeups="$(awk '{ print $5 }' "$work/native" | spread 1 %.0f)"
pads="$(awk '{ s += $7 } END { print s }' "$work/native")"
# Beside Tollivane's own waiting cost, stopped and running, from the instructions section.
figures="$(sed -n '/idle instruction figures: begin/,/idle instruction figures: end/p' docs/performance.md)"
share=""
for state in Stopped Running; do
  floor="$(echo "$figures" | sed -n "s/^| $state[^|]* | \([0-9.]*\) .*/\1/p")"
  [ -n "$floor" ] || continue
  share+="$(sort -g "$work/per_read" | awk -v f="$floor" -v s="$state" '{ v[NR] = $1 * 5 / 1000 / f * 100 }
    END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
          printf "%s%.2f %% (%.2f-%.2f %%) of %s thousand instructions/s %s", (s == "Running" ? "; " : ""),
            m, v[1], v[NR], f, tolower(s) }')"
done
type="$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")"
sdl="$(dpkg-query -W -f '${Version}\n' libsdl2-2.0-0 2>/dev/null | head -1)"

section="$(cat <<EOT
<!-- pad read figures: begin -->
## Reading the pads, none attached

Measured with \`$command\` (a $type build, SDL $sdl) on $(date -u +%Y-%m-%d),
$(nproc) cores. \`pad_reads\` reads the pads through the SDL adapter every 200 ms, as the poll
does once a pad binding is set (without one the program never starts SDL), with no pad
attached; callgrind counts only the reads after the first, which starts SDL. With no pad the
adapter looks for one at every fifth read (\`SdlPads::kReadsPerLook\`), so a read averages one
look and four that return at once. Threads and wakeups are counted natively, the wakeups from
\`/proc/self/status\` less the reads' own sleeps. Medians of $runs runs of $reads reads, with the
lowest and highest in brackets.

| Figure | Value |
|---|---|
| Instructions per read | $per_read |
| Thousand instructions/s, five reads a second | $per_second |
| Added to Tollivane's waiting cost | ${share:-no instructions section to compare with} |
| Threads of the process | $threads |
| Wakeups beyond the reads' own, per run | $wakeups |
| Pads seen, all runs | $pads |
<!-- pad read figures: end -->
EOT
)"

source bench/doc_section.sh
put_section "pad read figures" "$section"
echo "$section"
