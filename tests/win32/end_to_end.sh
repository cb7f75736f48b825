#!/usr/bin/env bash
# Tollivane.exe and a stand-in game under Wine on the build's Xvfb; keys pressed with XTEST
# while the game holds the focus; what the screen shows over the game is read back from X. Each
# step waits for what it expects, however long a loaded machine takes, then checks it.
#   end_to_end.sh RUN-WINE PREFIX TOLLIVANE.EXE GAME.EXE
source "$(dirname "$0")/wine_session.sh"

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

# Lit (not black) pixels of the screen over the game inside the overlay rectangle and outside
# it, the most of three looks (the game clears its screen every second). The screen, not the
# game's window: once the game is seen clearing over the clock, the clock goes into a window of
# its own above it.
look() {
  local best_in=0 best_out=0 n
  for n in 1 2 3; do
    screen
    local all inside
    all=$(convert "$work/screen.png" -fill white +opaque black -format '%[fx:round(mean*w*h)]' info:)
    inside=$(convert "$work/screen.png" -crop 75x14+25+315 +repage -fill white +opaque black \
      -format '%[fx:round(mean*w*h)]' info:)
    ((inside > best_in)) && best_in=$inside
    ((all - inside > best_out)) && best_out=$((all - inside))
    sleep 0.15
  done
  echo "$best_in $best_out"
}
# The game's 640 x 480 at the screen's top-left.
screen() { import -window root -crop 640x480+0+0 +repage "$work/screen.png"; }
drawn() {
  read -r inside outside < <(look)
  [ "$inside" -gt 20 ]
}
blank() {
  read -r inside outside < <(look)
  [ "$inside" -eq 0 ] && [ "$outside" -eq 0 ]
}
# The rectangle's pixels as drawn: a look just after the game cleared its screen is skipped.
signature() {
  local deadline=$((SECONDS + 60))
  while ((SECONDS < deadline)); do
    screen
    convert "$work/screen.png" -crop 75x14+25+315 +repage "$work/clock.png"
    if [ "$(convert "$work/clock.png" -fill white +opaque black -format '%[fx:mean>0]' info:)" = 1 ]; then
      convert "$work/clock.png" -format '%#' info:
      return
    fi
    sleep 0.1
  done
  fail "the clock could not be read"
}
counting() { [ "$(signature)" != "$first" ]; }
# The clock shows seconds: the same over more than a second, it stands still.
still() {
  local before
  before=$(signature)
  sleep 1.3
  [ "$(signature)" = "$before" ]
}

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
