#!/usr/bin/env bash
# Checks that a build can be repeated bit for bit: builds the Debian package and the 32-bit
# Windows program again from a copy of the source in another folder, later, in another time
# zone, and compares them with the ones the test command made.
#   tools/test-reproducible.sh [PLAIN [WINDOWS]]
# PLAIN: the plain build whose package tools/test-package.sh made (build/plain); WINDOWS: a
# Release build of the Windows program (build/windows-x86). Both built with the same
# SOURCE_DATE_EPOCH as this script exports.
set -euo pipefail
cd "$(dirname "$0")/.."
plain="${1:-build/plain}"
windows="${2:-build/windows-x86}"
jobs="${JOBS:-$(nproc)}"
fail() {
  echo "reproducible: $1" >&2
  exit 1
}
: "${SOURCE_DATE_EPOCH:=$(git log -1 --format=%ct)}"
export SOURCE_DATE_EPOCH

# The source as it stands, uncommitted changes included, with new file times.
again="$PWD/build/again"
rm -rf "$again"
mkdir -p "$again/source"
git ls-files -z --cached --others --exclude-standard |
  (while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done) |
  tar --null -T - -cf - | tar -C "$again/source" -xf -

# A compiler cache would hand back the first build's objects, hiding any path they hold.
export TZ=Pacific/Kiritimati CCACHE_DISABLE=1
cmake -S "$again/source" -B "$again/plain" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >/dev/null
cmake --build "$again/plain" -j "$jobs" >/dev/null
(cd "$again/plain" && cpack -G DEB >/dev/null)
cmake -S "$again/source" -B "$again/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$again/source/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$again/windows" -j "$jobs" --target tollivane >/dev/null

status=0
same() { # same FIRST SECOND
  [ -f "$1" ] || fail "$1: not built"
  if cmp -s "$1" "$2"; then
    echo "reproducible: $(basename "$1") built twice, the same bytes ($(stat -c %s "$1") bytes)"
  else
    echo "reproducible: $1 and $2 differ:" >&2
    cmp -l "$1" "$2" | head -5 >&2 || true
    status=1
  fi
}
debs=("$plain"/tollivane_*.deb)
same "${debs[0]}" "$again/plain/$(basename "${debs[0]}")"
same "$windows/bin/tollivane.exe" "$again/windows/bin/tollivane.exe"
[ "$status" -eq 0 ] && rm -rf "$again"
exit "$status"
