#!/usr/bin/env bash
# Builds and runs every test: the ordinary build, the sanitizer build and the 32-bit clock.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${JOBS:-$(nproc)}"
for preset in default sanitize m32; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
