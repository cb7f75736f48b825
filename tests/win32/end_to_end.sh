#!/usr/bin/env bash
# Tollivane.exe and a stand-in game under Wine on the build's Xvfb; keys pressed with XTEST
# while the game holds the focus; what is on the game's screen is read back from X.
#   end_to_end.sh RUN-WINE PREFIX TOLLIVANE.EXE GAME.EXE
source "$(dirname "$0")/wine_session.sh"

# Its own folder: the built-in keys, F5 F6 F7, and the overlay at (25, 315).
cp "$program" "$work/tollivane.exe"
(cd "$work" && exec timeout 60 wine tollivane.exe) </dev/null >/dev/null 2>&1 &
pids+=($!)
timeout 30 xdotool search --sync --name '^Tollivane$' >/dev/null
timeout 60 wine "$game" </dev/null >/dev/null 2>&1 &
pids+=($!)
game_window=$(timeout 30 xdotool search --sync --name '^Stand-in game$' | head -n 1)
sleep 1
xdotool windowfocus --sync "$game_window"
sleep 0.5

# Lit (not black) pixels of the game's screen inside the overlay rectangle and outside it,
# the most of three looks (the game clears its screen every second), and a signature of the
# rectangle's pixels.
look() {
  local best_in=0 best_out=0 n
  for n in 1 2 3; do
    import -window "$game_window" "$work/screen.png"
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
# The rectangle's pixels as drawn: a look just after the game cleared its screen is skipped.
signature() {
  local n
  for n in 1 2 3 4 5; do
    import -window "$game_window" "$work/screen.png"
    convert "$work/screen.png" -crop 75x14+25+315 +repage "$work/clock.png"
    if [ "$(convert "$work/clock.png" -fill white +opaque black -format '%[fx:mean>0]' info:)" = 1 ]; then
      convert "$work/clock.png" -format '%#' info:
      return
    fi
    sleep 0.1
  done
  echo none
}
# Start and stop may fire on every poll the key is down for: held well past a poll, as the key
# state may lag. Pause toggles on each poll that sees it, so it is tapped for less than one:
# seen down by at most one poll, or else by the next as "pressed since the last query".
press() {
  xdotool keydown "$1"
  sleep "${2:-0.5}"
  xdotool keyup "$1"
  sleep 0.3
}

read -r inside outside < <(look)
[ "$inside" -eq 0 ] && [ "$outside" -eq 0 ] || fail "drawn on before any key: $inside $outside"

press F5
sleep 1.2
read -r inside outside < <(look)
echo "running: $inside lit pixels inside the rectangle, $outside outside"
[ "$inside" -gt 20 ] || fail "F5 drew nothing inside (25,315)-(100,329)"
[ "$outside" -eq 0 ] || fail "F5 drew $outside pixels outside the rectangle"

first=$(signature)
sleep 1.3
[ "$(signature)" != "$first" ] || fail "the clock does not count"

press F6 0.12
sleep 0.4
first=$(signature)
sleep 1.3
[ "$(signature)" = "$first" ] || fail "F6 did not freeze the clock"
read -r inside outside < <(look)
[ "$inside" -gt 20 ] || fail "paused, the clock is no longer drawn"

press F7
# The game clears its screen every second; nothing draws on it again.
sleep 2.2
read -r inside outside < <(look)
[ "$inside" -eq 0 ] && [ "$outside" -eq 0 ] || fail "F7 did not stop the drawing: $inside $outside"
echo "end_to_end: F5 draws inside the rectangle only, F6 freezes, F7 stops"
