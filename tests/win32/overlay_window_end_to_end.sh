#!/usr/bin/env bash
# Tollivane.exe over stand-in games under Wine on the build's Xvfb. With the default settings
# the clock stays drawn onto a game that never repaints, and moves into its window of its own
# over one that repaints 60 times a second, where it then stays seen. With the overlay window
# on, once the clock shows it stays in every sample while it runs, and once stopped it is gone
# for good. A loaded machine may only make it show, or go, later in the sampling.
#   overlay_window_end_to_end.sh RUN-WINE PREFIX TOLLIVANE.EXE REPAINTING_GAME.EXE
source "$(dirname "$0")/wine_session.sh"

# Built-in keys F5 (start) and F7 (stop); the clock at (25, 315); SETTINGS after those lines.
start_tollivane() {
  mkdir -p "$work/$1"
  cp "$program" "$work/$1/tollivane.exe"
  printf '[rect]\r\nX=25\r\nY=315\r\n%b' "$2" > "$work/$1/Tollivane.ini"
  (cd "$work/$1" && exec timeout 600 "$WINELOADER" tollivane.exe) </dev/null >/dev/null 2>&1 &
  tollivane=$!
  pids+=($tollivane)
  tollivane_window=$(timeout 60 xdotool search --sync --name '^Tollivane$' | head -n 1)
}
own_window_shown() { xdotool search --onlyvisible --name '^Tollivane overlay$' >/dev/null; }

# The game repaints at RATE and samples for SECONDS after DELAY (-1: once sent F8, when the
# window of our own shows); KEY is held for a second while it has the focus. Sets $runs to the
# samples in order as runs seen and not ("-20+380"), $seen and $taken to their counts.
play() {
  local rate=$1 seconds=$2 delay=$3 key=$4 pid window line
  timeout 600 "$WINELOADER" "$game" "$rate" "$seconds" "$delay" </dev/null >"$work/game.out" 2>/dev/null &
  pid=$!
  pids+=("$pid")
  window=$(timeout 60 xdotool search --sync --name '^Stand-in game$' | head -n 1)
  wait_for 60 timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool keydown "$key" sleep 1 keyup "$key"
  if [ "$delay" = -1 ]; then
    wait_for 60 own_window_shown || fail "no window of its own over a repainting game"
    xdotool key F8
  fi
  wait "$pid" || fail "the game ended badly"
  line=$(tr -d '\r' <"$work/game.out")
  read -r _ _ _ taken _ seen _ < <(echo "$line")
  runs=${line#* runs }
}

start_tollivane default ''
play 0 3 3 F5
echo "default, still game: ${runs:0:200}"
[[ "$runs" =~ ^(-[0-9]+)?\+([0-9]+)$ ]] && ((BASH_REMATCH[2] >= 20)) ||
  fail "the clock does not stay drawn onto a game that never repaints: ${runs:0:200}"
! own_window_shown || fail "a window of its own over a game that never repaints"
play 60 4 -1 F5
echo "default, repainting game: $seen of $taken samples: ${runs:0:200}"
((taken >= 200 && seen * 100 >= taken * 99)) ||
  fail "the clock is not seen over a repainting game: $seen of $taken"
xdotool windowkill "$tollivane_window"
wait "$tollivane" || true

start_tollivane window 'window=1\r\n'
# Drawn onto the game instead, the clock would come and go with the game's repaints.
play 60 4 3 F5
echo "running: ${runs:0:200}"
[[ "$runs" =~ ^(-[0-9]+)?\+([0-9]+)$ ]] && ((BASH_REMATCH[2] >= 20)) ||
  fail "the clock does not stay over a repainting game: ${runs:0:200}"

play 60 3 2 F7
echo "stopped: ${runs:0:200}"
[[ "$runs" =~ ^(\+[0-9]+)?-([0-9]+)$ ]] && ((BASH_REMATCH[2] >= 20)) ||
  fail "the overlay window stays after the stop, or comes back: ${runs:0:200}"
echo "overlay_window_end_to_end: drawn onto a still game, its own window over a repainting one"
