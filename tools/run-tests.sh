#!/usr/bin/env bash
# Builds and runs every test: the folder boundaries, a plain build as a user makes it, the
# ordinary build, the sanitizer build, the 32-bit clock, a short run of each fuzz target and the
# two Windows builds (both tested under Wine); then the plain build's Debian package,
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

# Windows: both cross builds, their tests under Wine (the 32-bit ones with its 32-bit loader),
# each in a prefix of its own, which the tests start and stop themselves (a CTest fixture); the
# trap is for a run cut short. Both list the same unit, scenario and Windows tests, and both
# run them wherever the kernel runs their loader. Some kernels cannot run 32-bit programs: there
# the 32-bit program is built and checked as a file, and one line says why no more was run.
trap 'for arch in x64 x86; do cmake/run-wine.sh "$PWD/build/windows-$arch/wine" --stop; done' EXIT
counts=()
for preset in windows-x64 windows-x86; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  if [ "$preset" = windows-x64 ] ||
    why=$(cmake/run-wine.sh "$PWD/build/$preset/wine" --can-run "build/$preset/bin/tollivane.exe"); then
    ctest --preset "$preset" -j "$jobs" --no-tests=error
  else
    ctest --preset "$preset" -j "$jobs" --no-tests=error -L '^static$'
    echo "$preset: its Wine tests were not run: $why"
  fi
  counts+=("$(ctest --preset "$preset" -N -L '^(unit|scenario|win32)$' | sed -n 's/^Total Tests: //p')")
done
if [ "${counts[1]}" != "${counts[0]}" ] || [ "${counts[0]}" -lt 40 ]; then
  echo "windows-x86 ran ${counts[1]} unit, scenario and Windows tests, windows-x64 ${counts[0]}" >&2
  exit 1
fi

echo "== package"
tools/test-package.sh build/plain build/default

echo "== reproducible"
tools/test-reproducible.sh build/plain build/windows-x86
