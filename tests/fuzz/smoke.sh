#!/usr/bin/env bash
# A bounded fuzz run: TARGET SEEDS SECONDS. New inputs go to a scratch folder, never into the
# committed seeds.
set -euo pipefail
target="$1" seeds="$2" seconds="$3"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  "$scratch" "$seeds"
