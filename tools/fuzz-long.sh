#!/usr/bin/env bash
# Long fuzz runs: each target for RUNS inputs (default 1,000,000) from its seed corpus, one
# after another. Logs and the summary go to build/fuzz-long/; tools/reliability.sh puts the
# summary into docs/reliability.md.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${RUNS:-1000000}"
out=build/fuzz-long
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "${JOBS:-2}" >/dev/null
mkdir -p "$out"
: >"$out/summary.tsv"
for target in profile_fuzz numeric_fuzz capture_fuzz scenario_runner_fuzz; do
  seeds="tests/fuzz/corpus/$target"
  if [ "$target" = scenario_runner_fuzz ]; then seeds=tests/scenarios; fi
  scratch="$(mktemp -d)"
  start=$(date +%s)
  status=0
  TMPDIR=/dev/shm build/fuzz/bin/$target -runs="$runs" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "$scratch" "$seeds" >"$out/$target.log" 2>&1 || status=$?
  seconds=$(($(date +%s) - start))
  executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/$target.log")
  coverage=$(grep -o 'cov: [0-9]*' "$out/$target.log" | tail -n 1 | cut -d' ' -f2)
  rm -rf "$scratch"
  printf '%s\t%s\t%s\t%s\t%s\n' "$target" "${executed:-0}" "$seconds" "${coverage:-0}" \
    "$status" | tee -a "$out/summary.tsv"
done
