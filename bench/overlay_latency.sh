#!/usr/bin/env bash
# Measures the real program on a private Xvfb and writes the figures into the overlay section
# of docs/performance.md. Needs a build with the x11 tests (tollivane and overlay_probe).
#   bench/overlay_latency.sh [build folder] [presses] [taps]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
presses="${2:-50}"
taps="${3:-50}"
command="bench/overlay_latency.sh $build $presses $taps"

figures="$("$build/bin/overlay_probe" "$build/bin/tollivane" "$presses" "$taps")"
type="$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")"
cpu="$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"

section="$(cat <<EOT
<!-- overlay figures: begin -->
## Hotkeys and overlay on X11

Measured with \`$command\` (a $type build) on $(date -u +%Y-%m-%d), $(nproc) cores
($cpu), on Xvfb with no window manager; the hotkeys are pressed through XTEST at random moments
of the 200 ms poll, and the overlay's pixels are read back every millisecond. To measure again:
\`cmake --preset default && cmake --build --preset default && bench/overlay_latency.sh\`.

$figures
<!-- overlay figures: end -->
EOT
)"

source bench/doc_section.sh
put_section "overlay figures" "$section"
echo "$figures"
