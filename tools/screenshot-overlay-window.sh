#!/usr/bin/env bash
# Runs tollivane with "Overlay window" on under a private Xvfb, beside a stand-in game that
# repaints its whole client area 60 times a second, starts the stopwatch with its hotkey and
# saves that part of the screen, Tollivane's window and the game with the time over it, as
# docs/overlay-window.png.
#   tools/screenshot-overlay-window.sh [build folder]   (default: build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
program=$build/bin/tollivane
game=$build/bin/standin_game
out=docs/overlay-window.png
for file in "$program" "$game"; do
  [ -x "$file" ] || { echo "screenshot: no program at $file (build it first)" >&2; exit 1; }
done
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "screenshot: $tool is not installed" >&2; exit 1; }
done

display=90
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
  display=$((display + 1))
done
work=$(mktemp -d)
xvfb_pid=""
app_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
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

# A copy in a folder of its own, with the overlay window turned on in its settings file.
cp "$program" "$work/tollivane"
printf '[rect]\nX=25\nY=315\nwindow=1\n' > "$work/Tollivane.ini"
"$work/tollivane" >/dev/null 2>&1 &
app_pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tollivane$' | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$main")"
x=$((X + WIDTH + 10))
"$game" 60 30 "$x" "$Y" 340 400 > "$work/game.txt" &
game_pid=$!
for _ in $(seq 50); do [ -s "$work/game.txt" ] && break; sleep 0.1; done
sleep 0.3

xdotool keydown F5
sleep 0.3
xdotool keyup F5
xdotool mousemove 0 767
sleep 2.4
height=$((HEIGHT > 400 ? HEIGHT : 400))
import -window root -crop "$((x + 340 - X))x$height+$X+$Y" +repage -define png:exclude-chunks=date,time "$out"
echo "saved $out"
