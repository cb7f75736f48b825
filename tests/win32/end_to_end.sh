#!/usr/bin/env bash
# Tollivane.exe and a stand-in game under Wine on the build's Xvfb; keys pressed with XTEST
# while the game holds the focus; what the screen shows over the game is read back from X. Each
# step waits for what it expects, however long a loaded machine takes, then checks it.
#   end_to_end.sh RUN-WINE PREFIX TOLLIVANE.EXE GAME.EXE
source "$(dirname "$0")/wine_session.sh"
source "$(dirname "$0")/clock_watch.sh"

# Its own folder: the built-in keys, F5 F6 F7, and the overlay at (25, 315).
cp "$program" "$work/tollivane.exe"
(cd "$work" && exec timeout 600 "$WINELOADER" tollivane.exe) </dev/null >/dev/null 2>&1 &
pids+=($!)
timeout 60 xdotool search --sync --name '^Tollivane$' >/dev/null
timeout 600 "$WINELOADER" "$game" </dev/null >/dev/null 2>&1 &
pids+=($!)
game_window=$(timeout 60 xdotool search --sync --name '^Stand-in game$' | head -n 1)
wait_for 60 timeout 5 xdotool windowfocus --sync "$game_window" 2>/dev/null ||
  fail "the game never took the focus"

blank || fail "drawn on before any key: $inside $outside"

# Start and stop fire on every poll that sees their key down: held until their effect shows.
xdotool keydown F5
wait_for 60 drawn || fail "F5 drew nothing inside (25,315)-(100,329)"
xdotool keyup F5
echo "running: $inside lit pixels inside the rectangle, $outside outside"
[ "$outside" -eq 0 ] || fail "F5 drew $outside pixels outside the rectangle"

first=$(signature)
wait_for 60 counting || fail "the clock does not count"

# Pause toggles on each poll that sees it, so it is tapped for less than one: seen down by at
# most one poll, or else by the next as "pressed since the last query". A loaded machine may
# stretch the tap over two polls, which pause and resume: then it is tapped again.
for _ in 1 2 3 4 5; do
  xdotool keydown F6 sleep 0.12 keyup F6
  wait_for 10 still && break
done
still || fail "F6 did not freeze the clock"
wait_for 60 drawn || fail "paused, the clock is no longer drawn"

xdotool keydown F7
wait_for 60 blank || fail "F7 did not stop the drawing: $inside $outside"
xdotool keyup F7
# The game clears its screen every second; nothing draws on it again.
sleep 2.2
blank || fail "the drawing came back after F7: $inside $outside"
echo "end_to_end: F5 draws inside the rectangle only, F6 freezes, F7 stops"
