#!/usr/bin/env bash
# Runs tollivane.exe under Wine in a virtual desktop (which draws window frames) on the
# build's private Xvfb, drives its menu from the keyboard and saves screenshots of the main
# window in its three panel states and of the About window into docs/ (windows-*.png).
#   tools/screenshots-windows.sh [path/to/tollivane.exe]
#   (default: build/windows-x64/bin/tollivane.exe)
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/windows-x64/bin/tollivane.exe}
out=docs
[ -f "$program" ] || { echo "screenshots: no program at $program (build it first)" >&2; exit 1; }
for tool in xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool is not installed" >&2; exit 1; }
done

prefix="$PWD/build/windows-x64/wine"
eval "$(cmake/run-wine.sh "$prefix" --env "$program")"
work=$(mktemp -d)
app_pid=""
# Ends the program and the desktop with the Wine server (and the build's Xvfb with them).
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  cmake/run-wine.sh "$prefix" --stop
  rm -rf "$work"
}
trap cleanup EXIT

# A copy in a folder of its own: no settings file, so the built-in settings show.
cp "$program" "$work/tollivane.exe"
(cd "$work" && exec "$WINELOADER" explorer /desktop=tollivane-shots,640x480 tollivane.exe) \
  </dev/null >/dev/null 2>&1 &
app_pid=$!
desktop=$(timeout 30 xdotool search --sync --name 'tollivane-shots' | head -n 1)
sleep 2
xdotool windowfocus --sync "$desktop" || true

# Where the main window lies on the desktop: the corner of what differs from the background.
import -window "$desktop" "$work/desktop.png"
corner=$(convert "$work/desktop.png" -trim -format '%X %Y' info:)
read -r left top <<<"${corner//+/}"

# Clicks the menu and picks the entry `$1` rows down (the keys skip separators).
choose() {
  xdotool mousemove --window "$desktop" $((left + 20)) $((top + 30)) click 1
  sleep 0.4
  for _ in $(seq "$1"); do xdotool key Down; done
  xdotool key Return
  xdotool mousemove --window "$desktop" 0 0
  sleep 0.6
}
# The desktop, cut down to the windows on it.
shoot() {
  import -window "$desktop" "$work/desktop.png"
  convert "$work/desktop.png" -bordercolor "$(convert "$work/desktop.png" -format '%[pixel:p{0,0}]' info:)" \
    -border 1 -trim +repage -define png:exclude-chunks=date,time "$out/$1"
  echo "saved $out/$1"
}

mkdir -p "$out"
shoot windows-main-window.png
choose 1
shoot windows-main-window-hotkeys.png
choose 2
shoot windows-main-window-position.png
choose 2  # back to no panel
choose 4
shoot windows-about-window.png
xdotool key Return
