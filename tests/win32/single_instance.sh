#!/usr/bin/env bash
# One Tollivane.exe per settings file: a second start with the same file ends with 0 and opens
# no window (what it asks of the first, to come forward restored, is win32_single_instance_test's
# to check); --start reaches the running one; one that the first cannot answer (stopped) runs on
# its own; a copy with its own file runs beside it; a first one that was killed does not keep
# the next from starting.
#   single_instance.sh RUN-WINE PREFIX TOLLIVANE.EXE GAME.EXE
source "$(dirname "$0")/wine_session.sh"

mkdir "$work/a" "$work/b"
cp "$program" "$work/a/tollivane.exe"
cp "$program" "$work/b/tollivane.exe"
start() {
  (cd "$work/$1" && exec timeout 60 "$WINELOADER" tollivane.exe) </dev/null >/dev/null 2>&1 &
  pids+=($!)
}
windows() { xdotool search --onlyvisible --name '^Tollivane$' 2>/dev/null | sort; }
# Waits up to 30 s for the number of Tollivane windows shown.
wait_for_windows() {
  local tries=0
  until [ "$(windows | grep -c .)" -eq "$1" ]; do
    tries=$((tries + 1))
    [ "$tries" -lt 300 ] || fail "expected $1 Tollivane windows, found $(windows | grep -c .)"
    sleep 0.1
  done
}

start a
wait_for_windows 1
first=$(windows)

# Again in the same folder: it ends at once with 0, and no second window opens.
status=0
(cd "$work/a" && timeout 60 "$WINELOADER" tollivane.exe </dev/null >/dev/null 2>&1) || status=$?
[ "$status" -eq 0 ] || fail "the second start ended with $status"
[ "$(windows)" = "$first" ] || fail "a second window opened for the same settings file: $(windows | tr "\n" " ") after $first"

# A command goes to the running one (exit 0); where none runs, exit 1 and one line. No window.
(cd "$work/a" && timeout 60 "$WINELOADER" tollivane.exe --start </dev/null >/dev/null 2>&1) ||
  fail "--start to the running one ended with $?"
mkdir "$work/c" && cp "$program" "$work/c/tollivane.exe"
status=0
(cd "$work/c" && timeout 60 "$WINELOADER" tollivane.exe --stop </dev/null >/dev/null 2>"$work/err") || status=$?
grep -q "^tollivane: no Tollivane is running with .*; --stop was not given to any" "$work/err" &&
  [ "$status" -eq 1 ] || fail "--stop with none running ended with $status: $(cat "$work/err")"
[ "$(windows)" = "$first" ] || fail "a command opened a window: $(windows | tr "\n" " ")"

# A copy with its own settings file runs beside it.
start b
wait_for_windows 2

# The first stopped, so that it cannot answer: a start in its folder opens a window of its own
# instead of ending unseen.
first_pid=$(xdotool getwindowpid "$first")
kill -STOP "$first_pid"
start a
wait_for_windows 3
kill -CONT "$first_pid"

# The first killed (its Wine process, which owns its window): the next start in its folder runs.
kill -9 "$first_pid"
wait_for_windows 2
start a
wait_for_windows 3
echo "single_instance: a second start ends at once, a command reaches the first, one not answered runs on its own, copies run side by side, a killed one frees its file"
