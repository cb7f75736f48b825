#!/usr/bin/env bash
# tollivane.exe --run: the game's exit status comes back from a Tollivane opened for the run
# (which says its notices on standard error) and from one already running, which opens no second window; a game that cannot start gives 127
# and one line.
#   run_game.sh RUN-WINE PREFIX TOLLIVANE.EXE GAME.EXE
source "$(dirname "$0")/wine_session.sh"

mkdir "$work/a"
cp "$program" "$work/a/tollivane.exe"
windows() { xdotool search --onlyvisible --name '^Tollivane$' 2>/dev/null | sort; }
shown() { [ -n "$(windows)" ]; }
launch() {
  status=0
  (cd "$work/a" && timeout 120 "$WINELOADER" tollivane.exe --run "$@" </dev/null >/dev/null \
    2>"$work/err") || status=$?
}

# Its settings' notice is one line, not a box that waits for an answer.
printf '[main]\r\nhotkey1=99999999999\r\n' >"$work/a/Tollivane.ini"
launch -- cmd /c exit 5
[ "$status" -eq 5 ] && [ "$(grep -c . "$work/err")" -eq 1 ] ||
  fail "a run of its own ended with $status: $(cat "$work/err")"
rm "$work/a/Tollivane.ini"

launch -- "C:\\no such folder\\game.exe" -arg
[ "$status" -eq 127 ] && [ "$(grep -c . "$work/err")" -eq 1 ] ||
  fail "a game that cannot start ended with $status: $(cat "$work/err")"

(cd "$work/a" && exec timeout 120 "$WINELOADER" tollivane.exe) </dev/null >/dev/null 2>&1 &
pids+=($!)
wait_for 60 shown || fail "the running copy showed no window"
first=$(windows)
launch --start -- cmd /c exit 4
[ "$status" -eq 4 ] && [ ! -s "$work/err" ] ||
  fail "a run beside the running copy ended with $status: $(cat "$work/err")"
[ "$(windows)" = "$first" ] || fail "a second window opened: $(windows | tr "\n" " ")"
echo "run_game: the game's status comes back from a copy of its own and from the running one; a missing game is 127"
