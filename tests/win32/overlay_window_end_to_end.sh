#!/usr/bin/env bash
# Tollivane.exe with its overlay window on, over a stand-in game that repaints 60 times a
# second, under Wine on the build's Xvfb: the clock must show in nearly every sample while it
# runs, and be gone once it is stopped.
#   overlay_window_end_to_end.sh RUN-WINE PREFIX TOLLIVANE.EXE REPAINTING_GAME.EXE
source "$(dirname "$0")/wine_session.sh"

# Built-in keys F5 (start) and F7 (stop); the clock at (25, 315) in a window of its own.
cp "$program" "$work/tollivane.exe"
printf '[rect]\r\nX=25\r\nY=315\r\nwindow=1\r\n' > "$work/Tollivane.ini"
(cd "$work" && exec timeout 60 wine tollivane.exe) </dev/null >/dev/null 2>&1 &
pids+=($!)
timeout 30 xdotool search --sync --name '^Tollivane$' >/dev/null

# The game samples for SECONDS after DELAY; KEY is pressed while it has the focus, before
# the sampling. Prints "fps F samples N visible V late_ms L".
play() {
  local seconds=$1 delay=$2 key=$3 pid window
  timeout 60 wine "$game" 60 "$seconds" "$delay" </dev/null >"$work/game.out" 2>/dev/null &
  pid=$!
  pids+=("$pid")
  window=$(timeout 30 xdotool search --sync --name '^Stand-in game$' | head -n 1)
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  sleep 0.5
  xdotool keydown "$key"
  sleep 0.5
  xdotool keyup "$key"
  wait "$pid" || fail "the game ended badly"
  cat "$work/game.out"
}

read -r _ _ _ taken _ seen _ < <(play 2 3 F5)
echo "running: the clock seen in $seen of $taken samples"
[ "$taken" -gt 0 ] && [ $((seen * 100)) -ge $((taken * 99)) ] ||
  fail "the clock shows in only $seen of $taken samples over a repainting game"

read -r _ _ _ taken _ seen _ < <(play 1 2 F7)
echo "stopped: the clock seen in $seen of $taken samples"
[ "$seen" -eq 0 ] || fail "the overlay window stays after the stop: $seen of $taken samples"
echo "overlay_window_end_to_end: shown over a repainting game while running, gone at stop"
