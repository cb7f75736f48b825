#!/usr/bin/env bash
# Tollivane.exe under Wine with the tests' stand-in xinput1_4.dll beside it (loaded as a player's
# wrapper DLL would be, over Wine's own): a chord of pad 1 starts the clock, a tap between two
# polls pauses it, another chord stops it. Then without any XInput DLL, the keys still work.
#   pads_end_to_end.sh RUN-WINE PREFIX TOLLIVANE.EXE GAME.EXE STAND-IN-DLL
source "$(dirname "$0")/wine_session.sh"
source "$(dirname "$0")/clock_watch.sh"
stand_in=$5
# XInput's wButtons and keystrokes: View, A, B, X; key down, key up.
view=32 a=4096 b=8192 x=16384
vk_view=22549 vk_a=22528 vk_b=22529 vk_x=22530 down=1 up=2

# Pad 1 holding BUTTONS, after the keystrokes so far; in one rename, never half written.
strokes=""
pad() {
  printf '%s 0 0\n-\n-\n-\n%b' "$1" "$strokes" >"$work/pads.new"
  mv "$work/pads.new" "$work/pads"
}
stroke() { strokes+="0 $1 $2\n"; }

# `start FOLDER`: the program there, with start, pause and stop on View+A, View+B and View+X
# beside the built-in keys.
start() {
  mkdir -p "$work/$1"
  cp "$program" "$work/$1/tollivane.exe"
  printf '[rect]\r\nX=25\r\nY=315\r\n[pad]\r\npad1=%s\r\npad2=%s\r\npad3=%s\r\n' \
    $((view + a)) $((view + b)) $((view + x)) >"$work/$1/Tollivane.ini"
  (cd "$work/$1" && exec timeout 600 "$WINELOADER" tollivane.exe) </dev/null >/dev/null 2>&1 &
  tollivane=$!
  pids+=($tollivane)
  timeout 60 xdotool search --sync --name '^Tollivane$' >/dev/null
}
# Started after Tollivane, so that its window comes up behind the game's.
start_game() {
  timeout 600 "$WINELOADER" "$game" </dev/null >/dev/null 2>&1 &
  game_pid=$!
  pids+=($game_pid)
  game_window=$(timeout 60 xdotool search --sync --name '^Stand-in game$' | head -n 1)
  wait_for 60 timeout 5 xdotool windowfocus --sync "$game_window" 2>/dev/null ||
    fail "the game never took the focus"
}

pad 0
TOLLIVANE_STAND_IN_PADS=$("$WINELOADER" winepath -w "$work/pads" 2>/dev/null)
export TOLLIVANE_STAND_IN_PADS
mkdir -p "$work/with_pads"
cp "$stand_in" "$work/with_pads/xinput1_4.dll"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;xinput1_4=n" start with_pads
start_game
blank || fail "drawn on before any button: $inside $outside"

stroke $vk_view $down
stroke $vk_a $down
pad $((view + a))
wait_for 60 drawn || fail "View+A drew nothing"
stroke $vk_a $up
pad $view
first=$(signature)
wait_for 60 counting || fail "the clock does not count after View+A"

# B pressed and let go between two polls: only XInput's keystrokes tell of it, and once, so
# it pauses exactly once.
stroke $vk_b $down
stroke $vk_b $up
pad $view
wait_for 60 still || fail "a tap of B under View did not pause the clock"

stroke $vk_x $down
pad $((view + x))
wait_for 60 blank || fail "View+X did not stop the clock: $inside $outside"
stroke $vk_x $up
stroke $vk_view $up
pad 0
echo "pads_end_to_end: View+A starts, a tap of B between polls pauses, View+X stops"

# Without XInput: the pads are read at every poll (they are bound) and absent; F5 and F7 act.
kill "$tollivane" "$game_pid"
wait "$tollivane" "$game_pid" 2>/dev/null || true
timeout 30 sh -c "while xdotool search --name '^(Tollivane|Stand-in game)\$' >/dev/null; do sleep 0.2; done" ||
  fail "the first Tollivane and game did not end"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;xinput1_4,xinput1_3,xinput9_1_0=d" start without_xinput
start_game
blank || fail "without XInput, drawn on before any key: $inside $outside"
xdotool keydown F5
wait_for 60 drawn || fail "without XInput, F5 drew nothing"
xdotool keyup F5
xdotool keydown F7
wait_for 60 blank || fail "without XInput, F7 did not stop the drawing: $inside $outside"
xdotool keyup F7
echo "pads_end_to_end: without any XInput DLL, F5 starts and F7 stops"
