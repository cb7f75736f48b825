#!/usr/bin/env bash
# Builds and runs every test: the ordinary build, the sanitizer build, the 32-bit clock and a
# short run of each fuzz target (clang).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${JOBS:-$(nproc)}"
for preset in default sanitize m32 fuzz; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
