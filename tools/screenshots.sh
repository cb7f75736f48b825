#!/usr/bin/env bash
# Runs tollivane under a private Xvfb, drives its menu with xdotool and saves screenshots
# of the main window in its three panel states, of the About window, and of the time in its
# own window over a stand-in game that repaints 60 times a second, into docs/.
#   tools/screenshots.sh [path/to/tollivane]   (default: build/default/bin/tollivane; the
#   stand-in game, standin_game, is taken from the same folder)
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/default/bin/tollivane}
game=$(dirname "$program")/standin_game
out=docs
for file in "$program" "$game"; do
  [ -x "$file" ] || { echo "screenshots: no program at $file (build it first)" >&2; exit 1; }
done
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool is not installed" >&2; exit 1; }
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

# The server picks a free display and writes its number once it accepts connections.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "screenshots: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

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
choose 4
about=$(timeout 20 xdotool search --sync --onlyvisible --name '^About Tollivane$' | head -n 1)
sleep 0.4
shoot "$about" about-window.png
xdotool key Return

# "Overlay window" on, a game beside the window that repaints 60 times a second, the stopwatch
# started with its hotkey: the window and the game with the time over it.
choose 3
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
import -window root -crop "$((x + 340 - X))x$height+$X+$Y" +repage \
  -define png:exclude-chunks=date,time "$out/overlay-window.png"
echo "saved $out/overlay-window.png"
