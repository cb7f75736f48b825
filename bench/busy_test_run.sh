#!/usr/bin/env bash
# Whether the test command holds on a busy machine: runs it in a fresh clone of this checkout
# with N busy loops per core beside it (0: idle), and writes how long it took and whether it
# passed into the test command section of docs/performance.md, beside earlier rows.
#   bench/busy_test_run.sh [loops per core] [log file]
# Needs the packages of tools/install-deps.sh. Takes about half an hour idle; ccache, when
# configured as the compiler launcher, shortens the builds of both runs alike.
set -euo pipefail
cd "$(dirname "$0")/.."
per_core="${1:-2}"
log="${2:-$(mktemp /tmp/busy-test-run.XXXXXX.log)}"
cores="$(nproc)"
clone="$(mktemp -d /tmp/busy-test-run.XXXXXX)"
loops=()
cleanup() {
  for pid in "${loops[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$clone"
}
trap cleanup EXIT

git clone -q . "$clone"
commit="$(git -C "$clone" rev-parse --short HEAD)"
for _ in $(seq $((per_core * cores))); do
  sh -c 'while :; do :; done' &
  loops+=("$!")
done
start="$(date +%s%N)"
status=0
(cd "$clone" && tools/run-tests.sh) >"$log" 2>&1 || status=$?
seconds=$((($(date +%s%N) - start) / 1000000000))
for pid in "${loops[@]}"; do kill "$pid" 2>/dev/null || true; done
loops=()

verdict=passed
[ "$status" -eq 0 ] || verdict="failed (status $status; log $log)"
row="| $commit | $per_core per core ($((per_core * cores)) loops, $cores cores) | $seconds s | $verdict |"
echo "$row"

. bench/doc_section.sh
doc=docs/performance.md
rows="$(sed -n '/^<!-- busy-test-run: begin -->$/,/^<!-- busy-test-run: end -->$/p' "$doc" |
  grep '^| [0-9a-f]\{7,\} |' || true)"
put_section busy-test-run "<!-- busy-test-run: begin -->
## The test command on a busy machine

\`tools/run-tests.sh\` in a fresh clone, with busy loops (\`sh -c 'while :; do :; done'\`) beside
it, one run per row, written by \`bench/busy_test_run.sh [loops per core]\`. Tests wait for
states with generous deadlines and assert no upper bound on time, so load may only slow the
run down.

| Commit | Busy loops | Duration | Result |
|---|---|---|---|
$(printf '%s\n%s' "$rows" "$row" | sed '/^$/d')
<!-- busy-test-run: end -->"
exit "$status"
