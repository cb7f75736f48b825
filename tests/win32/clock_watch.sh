# Sourced after wine_session.sh by the scripts that watch the clock over the stand-in game:
# `drawn`, `blank`, `counting` (changed since "$first", a `signature`) and `still`, the checks
# they wait for.
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
