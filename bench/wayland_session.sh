#!/usr/bin/env bash
# Run inside a Wayland compositor's session by bench/wayland_desktops.sh, with DISPLAY naming
# its XWayland: Tollivane and a stand-in game, both X11 clients, the game windowed and then full
# screen. Prints one "check<TAB>result" line per check, into $SESSION_RESULT when that is set
# (a compositor may not pass its session's output on).
#   bench/wayland_session.sh <tollivane> <standin_game>
set -uo pipefail
program=$1
game=$2
[ -n "${SESSION_RESULT:-}" ] && exec >"$SESSION_RESULT"
scratch="$(mktemp -d)"
pids=()
trap 'for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null; done; rm -rf "$scratch"' EXIT
export QT_QPA_PLATFORM=xcb

viewable() { xwininfo -id "$1" 2>/dev/null | grep -q "Map State: IsViewable"; }
# Pixels of the overlay's rectangle in the game's window that are not the game's colour.
drawn() {
  import -window "$1" -crop 75x14+25+315 +repage txt:- 2>/dev/null | tail -n +2 |
    grep -vc "#305070"
}
say() { printf '%s\t%s\n' "$1" "$2"; }

start_program() {  # folder, settings; sets app
  mkdir -p "$1"
  cp "$program" "$1/tollivane"
  printf '%s' "$2" >"$1/Tollivane.ini"
  "$1/tollivane" >"$1/out" 2>&1 &
  app=$!
  pids+=("$app")
  local window=""
  for _ in $(seq 400); do
    window=$(xdotool search --all --onlyvisible --pid "$app" --name '^Tollivane$' 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.05
  done
  [ -n "$window" ]
}

if start_program "$scratch/a" $'[rect]\nX=25\nY=315\nwindow=0\n'; then
  say "program starts, its window shows" yes
else
  say "program starts, its window shows" "no: $(head -c 300 "$scratch/a/out")"
  exit 0
fi
second_out=$(timeout 20 "$scratch/a/tollivane" 2>&1)
second_status=$?
[[ $second_status == 0 && $second_out == *"already running"* ]] &&
  say "second start brings the first to the front and ends" yes ||
  say "second start brings the first to the front and ends" "no (status $second_status: $second_out)"

exec 4< <("$game" 0 600 400 0 340 400)
read -r game_pid game_window <&4
pids+=("$game_pid")
xdotool windowactivate --sync "$game_window" 2>/dev/null
sleep 0.5
xdotool key F5
sleep 1.5
say "windowed game: F5 starts the clock and the time is drawn onto the game" \
  "$( (($(drawn "$game_window") > 0)) && echo yes || echo no)"
exec 5< <("$game" 0 600 0 0 640 480 fullscreen)
read -r game_pid game_window <&5
pids+=("$game_pid")
xdotool windowactivate --sync "$game_window" 2>/dev/null
sleep 1.5
size=$(xwininfo -id "$game_window" | awk '/Width:/{w=$2}/Height:/{h=$2}END{print w "x" h}')
say "full-screen game ($size of $(xwininfo -root | awk '/Width:/{w=$2}/Height:/{h=$2}END{print w "x" h}')): the time is drawn onto it" \
  "$( (($(drawn "$game_window") > 0)) && echo yes || echo no)"
xdotool key F7
kill -KILL "$app" 2>/dev/null

start_program "$scratch/b" $'[rect]\nX=25\nY=315\nwindow=1\n'
xdotool windowactivate --sync "$game_window" 2>/dev/null
sleep 0.5
xdotool key F5
sleep 1.5
own=""
for w in $(xwininfo -root -children | grep -E ' 75x14\+' | awk '{print $1}'); do
  if xwininfo -id "$w" 2>/dev/null | grep -q "Override Redirect State: yes" && viewable "$w"; then own=$w; fi
done
if [ -n "$own" ]; then
  say "full-screen game: the overlay window is mapped over it, at (25, 315) of the game" \
    "yes ($(xwininfo -id "$own" | awk '/Absolute upper-left X/{x=$4}/Absolute upper-left Y/{y=$4}END{print "at " x "," y}'))"
else
  say "full-screen game: the overlay window is mapped over it, at (25, 315) of the game" no
fi
xdotool key F7
sleep 0.5
if [ -n "$own" ] && ! viewable "$own"; then
  say "overlay window gone at stop" yes
else
  say "overlay window gone at stop" no
fi
