#!/usr/bin/env bash
# Builds and runs every test: the folder boundaries, a plain build as a user makes it, the
# ordinary build, the sanitizer build, the 32-bit clock, a short run of each fuzz target and the
# two Windows builds (the 64-bit one tested under Wine); then the plain build's Debian package,
# linted, installed, run and removed again (as root only), and the package and the 32-bit
# Windows program built a second time elsewhere, to be the same bytes.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${JOBS:-$(nproc)}"
# Every build stamps the last commit's time, so that a second build can match the first.
SOURCE_DATE_EPOCH="$(git log -1 --format=%ct)"
export SOURCE_DATE_EPOCH

echo "== layout"
tools/check-layout.sh

# As a user builds it: no preset, no warnings as errors, and no test packages at all.
echo "== plain"
cmake -S . -B build/plain -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >/dev/null
cmake --build build/plain -j "$jobs"
test -x build/plain/bin/tollivane

for preset in default sanitize m32 fuzz; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs" --no-tests=error
done

# Windows: both cross builds; the 64-bit one's tests run under Wine in a prefix of its own,
# which the tests start and stop themselves (a CTest fixture); the trap is for a run cut short.
wine_prefix="$PWD/build/windows-x64/wine"
trap 'cmake/run-wine.sh "$wine_prefix" --stop' EXIT
for preset in windows-x64 windows-x86; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs" --no-tests=error
done

echo "== package"
tools/test-package.sh build/plain build/default

echo "== reproducible"
tools/test-reproducible.sh build/plain build/windows-x86
