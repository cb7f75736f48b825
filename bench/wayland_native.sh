#!/usr/bin/env bash
# Run inside a Wayland compositor's session by bench/wayland_desktops.sh, with DISPLAY naming
# its XWayland and WAYLAND_DISPLAY the compositor: Tollivane through XWayland and a native
# Wayland full-screen game in front of it. Starts and stops the clock from the command line and
# with keys typed through the compositor, and reads the screen back at the clock's place.
# Prints one "check<TAB>yes|no" line per check, into $SESSION_RESULT when that is set.
#   bench/wayland_native.sh <build's bin folder> <kwin|sway> <overlay window: 0|1> [ctrl]
# With "ctrl" the start and stop hotkeys are Ctrl+F5 and Ctrl+F6 (Ctrl+F7 is one of KWin's own
# shortcuts), not F5 and F7; pause goes to F7.
set -uo pipefail
bin=$1
desktop=$2
window=$3
ctrl=""
keys='hotshift1=0\nhotshift3=0'
stop=65 stop_name=F7
if [ -n "${4:-}" ]; then
  ctrl=29+ keys='hotshift1=2\nhotkey2=118\nhotkey3=117\nhotshift3=2' stop=64 stop_name=F6
fi
here="$(cd "$(dirname "$0")" && pwd)"
[ -n "${SESSION_RESULT:-}" ] && exec >"$SESSION_RESULT"
scratch="$(mktemp -d)"
pids=()
trap 'for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null; done; rm -rf "$scratch"' EXIT

say() { printf '%s\t%s\n' "$1" "$2"; }
yes_no() { "$@" && echo yes || echo no; }
# Pixels of an area of the screen that are not the game's colour.
differing() {
  if [ "$desktop" = kwin ]; then
    "$here/kwin_screen_area.py" "$@" 305070 2>/dev/null | awk '{print $1}'
  else
    grim -t ppm -g "$1,$2 $3x$4" - 2>/dev/null | convert ppm:- txt:- 2>/dev/null |
      tail -n +2 | grep -vc '#305070'
  fi
}
clock_drawn() { (($(differing 25 315 75 14) > 0)); }
clock_gone() { (($(differing 25 315 75 14) == 0)); }
# Waits up to 20 s for a condition.
within() {
  for _ in $(seq 100); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}
# Types keys into the compositor, as its own keyboard would: F5 is 63, F6 64, Ctrl+F5 29+63.
typed() {
  if [ "$desktop" = kwin ]; then "$bin/kwin_keys" "$@"; else
    # Each wtype is a new keyboard; a key sent at once after its keymap can get lost.
    for key in "$@"; do wtype -s 300 -k "F$((key - 58))"; done
  fi
}
got() { grep -qx "press $1" "$scratch/game.out"; }

mkdir -p "$scratch/a"
cp "$bin/tollivane" "$scratch/a/tollivane"
printf "[main]\n$keys\n[rect]\nX=25\nY=315\nwindow=%s\n" "$window" >"$scratch/a/Tollivane.ini"
QT_QPA_PLATFORM=xcb "$scratch/a/tollivane" >"$scratch/a/out" 2>&1 &
pids+=($!)
app_window() { xdotool search --all --onlyvisible --pid "${pids[0]}" --name '^Tollivane$' >/dev/null 2>&1; }
say "Tollivane starts through XWayland, its window shows" "$(yes_no within app_window)"

QT_QPA_PLATFORM=wayland "$bin/wayland_game" 600 >"$scratch/game.out" 2>"$scratch/game.err" &
pids+=($!)
game_ready() { grep -q '^ready' "$scratch/game.out"; }
within game_ready
size=$(awk '/^ready/{print $2}' "$scratch/game.out")
screen=$(xwininfo -root | awk '/Width:/{w=$2}/Height:/{h=$2}END{print w "x" h}')
sleep 1
# The game covers the screen: a corner far from the clock shows its colour, and so does the
# clock's place while the clock is stopped.
say "native game covers the screen and is in front" \
  "$(yes_no test "$size" = "$screen" -a "$(differing 900 700 75 14)" = 0 -a "$(differing 25 315 75 14)" = 0)"

"$scratch/a/tollivane" --start >/dev/null 2>&1
say "tollivane --start: the time shows over the game" "$(yes_no within clock_drawn)"
"$scratch/a/tollivane" --stop >/dev/null 2>&1
say "tollivane --stop: the time goes" "$(yes_no within clock_gone)"

typed "${ctrl}63"
say "start hotkey typed into the game: the game gets it" "$(yes_no within got F5)"
say "start hotkey typed into the game: the time shows over it" "$(yes_no within clock_drawn)"
# The stop hotkey is tried on a running clock, whatever the start hotkey did.
clock_drawn || "$scratch/a/tollivane" --start >/dev/null 2>&1
within clock_drawn
typed "$ctrl$stop"
say "stop hotkey typed into the game: the game gets it" "$(yes_no within got $stop_name)"
say "stop hotkey typed into the game: the time goes" "$(yes_no within clock_gone)"

# A key the desktop binds to the command: sway's own binding, set while it runs.
if [ "$desktop" = sway ]; then
  "$scratch/a/tollivane" --stop >/dev/null 2>&1
  within clock_gone
  swaymsg -q "bindsym F8 exec $scratch/a/tollivane --start"
  typed 66
  say "F8 bound by the desktop to tollivane --start: the time shows" "$(yes_no within clock_drawn)"
  say "F8 bound by the desktop: the game gets it too" "$(yes_no within got F8)"
fi
