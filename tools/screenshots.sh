#!/usr/bin/env bash
# Runs tollivane under a private Xvfb, drives its menu with xdotool and saves screenshots
# of the main window in its three panel states and of the About window into docs/.
#   tools/screenshots.sh [path/to/tollivane]   (default: build/default/bin/tollivane)
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/default/bin/tollivane}
out=docs
[ -x "$program" ] || { echo "screenshots: no program at $program (build it first)" >&2; exit 1; }
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool is not installed" >&2; exit 1; }
done

display=90
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
  display=$((display + 1))
done
work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

# A copy in a folder of its own: no settings file, so the built-in settings show.
cp "$program" "$work/tollivane"
"$work/tollivane" >/dev/null 2>&1 &
app_pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tollivane$' | head -n 1)
sleep 0.5

# Opens the menu and picks the entry `$1` rows down (separators are skipped by the keys).
choose() {
  eval "$(xdotool getwindowgeometry --shell "$main")"
  xdotool mousemove $((X + 20)) $((Y + 8)) click 1
  sleep 0.4
  for _ in $(seq "$1"); do xdotool key Down; done
  xdotool key Return
  xdotool mousemove 0 0
  sleep 0.4
}
shoot() { import -window "$1" "$out/$2"; echo "saved $out/$2"; }

mkdir -p "$out"
shoot "$main" main-window.png
choose 1
shoot "$main" main-window-hotkeys.png
choose 2
shoot "$main" main-window-position.png
choose 2  # back to no panel
choose 3
about=$(timeout 20 xdotool search --sync --onlyvisible --name '^About Tollivane$' | head -n 1)
sleep 0.4
shoot "$about" about-window.png
xdotool key Return
