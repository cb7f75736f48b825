#!/usr/bin/env bash
# Tollivane.exe with its overlay window on, over a stand-in game that repaints 60 times a
# second, under Wine on the build's Xvfb: once the clock shows it stays in every sample while
# it runs, and once stopped it is gone for good. A loaded machine may only make it show, or
# go, later in the sampling.
#   overlay_window_end_to_end.sh RUN-WINE PREFIX TOLLIVANE.EXE REPAINTING_GAME.EXE
source "$(dirname "$0")/wine_session.sh"

# Built-in keys F5 (start) and F7 (stop); the clock at (25, 315) in a window of its own.
cp "$program" "$work/tollivane.exe"
printf '[rect]\r\nX=25\r\nY=315\r\nwindow=1\r\n' > "$work/Tollivane.ini"
(cd "$work" && exec timeout 600 wine tollivane.exe) </dev/null >/dev/null 2>&1 &
pids+=($!)
timeout 60 xdotool search --sync --name '^Tollivane$' >/dev/null

# The game samples for SECONDS after DELAY; KEY is held for a second while it has the focus.
# Prints the samples in order as runs seen and not ("-20+380").
play() {
  local seconds=$1 delay=$2 key=$3 pid window
  timeout 600 wine "$game" 60 "$seconds" "$delay" </dev/null >"$work/game.out" 2>/dev/null &
  pid=$!
  pids+=("$pid")
  window=$(timeout 60 xdotool search --sync --name '^Stand-in game$' | head -n 1)
  wait_for 60 timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool keydown "$key" sleep 1 keyup "$key"
  wait "$pid" || fail "the game ended badly"
  tr -d '\r' <"$work/game.out" | sed -n 's/.* runs //p'
}

# Drawn onto the game instead, the clock would come and go with the game's repaints.
runs=$(play 4 3 F5)
echo "running: ${runs:0:200}"
[[ "$runs" =~ ^(-[0-9]+)?\+([0-9]+)$ ]] && ((BASH_REMATCH[2] >= 20)) ||
  fail "the clock does not stay over a repainting game: ${runs:0:200}"

runs=$(play 3 2 F7)
echo "stopped: ${runs:0:200}"
[[ "$runs" =~ ^(\+[0-9]+)?-([0-9]+)$ ]] && ((BASH_REMATCH[2] >= 20)) ||
  fail "the overlay window stays after the stop, or comes back: ${runs:0:200}"
echo "overlay_window_end_to_end: shown over a repainting game while running, gone at stop"
