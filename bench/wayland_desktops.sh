#!/usr/bin/env bash
# Tollivane under Wayland desktops, each run headless with XWayland. First GNOME's mutter, KDE's
# KWin and weston with bench/wayland_session.sh inside each session (the program and a stand-in
# X11 game, windowed and full screen), one run each. Then, $RUNS times each (5 unless set), KWin
# with each of its three choices for passing keys on to X11 programs, and sway run as an
# unprivileged user, with bench/wayland_native.sh inside: a native Wayland full-screen game in
# front of Tollivane, the screen read back (KWin's ScreenShot2, grim). Writes docs/wayland.md.
# Needs mutter, kwin-wayland, weston, sway, grim, wtype, xwayland, qt6-wayland, libwayland-dev
# and python3-dbus (apt-get install --no-install-recommends), and a build.
#   bench/wayland_desktops.sh [build folder]
set -uo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
root="$(pwd)"
session=("$root/bench/wayland_session.sh" "$root/$build/bin/tollivane" "$root/$build/bin/standin_game")
scratch="$(mktemp -d)"
# Open to the unprivileged user of the sway runs.
chmod 755 "$scratch"
trap 'rm -rf "$scratch"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

# Runs the session under one compositor; prints its lines, or why it could not run.
under() {
  local name=$1 runtime="$scratch/$1"
  mkdir -p "$runtime" && chmod 700 "$runtime"
  export XDG_RUNTIME_DIR="$runtime" SESSION_RESULT="$runtime/result"
  case $name in
    mutter)
      timeout 180 dbus-run-session -- mutter --headless --wayland --virtual-monitor 1024x768 \
        -- "${session[@]}" >/dev/null 2>"$runtime/log"
      ;;
    kwin)
      # Its file capability (cap_sys_resource) makes exec fail in a container that cannot
      # grant it; a copy without it behaves the same otherwise.
      cp "$(command -v kwin_wayland)" "$runtime/kwin_wayland"
      timeout 180 dbus-run-session -- "$runtime/kwin_wayland" --virtual --xwayland \
        --width 1024 --height 768 --exit-with-session "${session[*]}" >/dev/null 2>"$runtime/log"
      ;;
    weston)
      weston --backend=headless-backend.so --xwayland --width=1024 --height=768 \
        --socket=wayland-bench --idle-time=0 >"$runtime/log" 2>&1 &
      local compositor=$!
      local display=""
      for _ in $(seq 200); do
        display=$(grep -o 'xserver listening on display :[0-9]*' "$runtime/log" | grep -o ':[0-9]*$')
        [ -n "$display" ] && break
        sleep 0.05
      done
      [ -n "$display" ] && WAYLAND_DISPLAY=wayland-bench DISPLAY=$display timeout 180 \
        "${session[@]}" 2>>"$runtime/log"
      kill "$compositor" 2>/dev/null
      wait "$compositor" 2>/dev/null
      ;;
  esac
  if grep -q $'\t' "$runtime/result" 2>/dev/null; then
    sed $'s/^/| /; s/\t/ | /; s/$/ |/' "$runtime/result"
  else
    echo "| did not run | $(grep -v '^$' "$runtime/log" | grep -iE 'platform plugin|abort|cannot|failed to start' | head -2 | tr '|\n' '/ ') |"
  fi
}

runs="${RUNS:-5}"
native=("$root/bench/wayland_native.sh" "$root/$build/bin")
# The X11 socket folder, which XWayland wants and a container may lack.
[ -d /tmp/.X11-unix ] || install -d -m 1777 /tmp/.X11-unix

# One native run: KWin with its choice for passing keys on (None, Combinations, All), or sway;
# the session's lines go to the file named last.
native_run() {
  local desktop=$1 choice=$2 keys=$3 result=$4 runtime
  runtime="$(mktemp -d "$scratch/run.XXXX")"
  chmod 755 "$runtime" && mkdir -m 700 "$runtime/xdg" "$runtime/config"
  if [ "$desktop" = kwin ]; then
    printf '[Xwayland]\nXwaylandEavesdrops=%s\n' "$choice" >"$runtime/config/kwinrc"
    cp "$(command -v kwin_wayland)" "$runtime/kwin_wayland"
    XDG_RUNTIME_DIR="$runtime/xdg" XDG_CONFIG_HOME="$runtime/config" SESSION_RESULT="$result" \
      KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 \
      timeout 180 dbus-run-session -- "$runtime/kwin_wayland" --virtual --xwayland \
      --width 1024 --height 768 --exit-with-session "${native[*]} kwin 0 ${keys#plain}" \
      >/dev/null 2>"$runtime/log"
  else
    # wlroots will not run as root; as root, the session runs as nobody.
    local as=()
    ((EUID == 0)) && as=(setpriv --reuid=nobody --regid=nogroup --clear-groups) &&
      chown nobody:nogroup "$runtime/xdg" "$runtime/config" && : >"$result" &&
      chown nobody:nogroup "$result"
    printf 'output HEADLESS-1 resolution 1024x768\nxwayland enable\nexec bash -c "%s; swaymsg exit"\n' \
      "SESSION_RESULT=$result ${native[*]} sway 0" >"$runtime/sway.conf"
    "${as[@]}" env -u DBUS_SESSION_BUS_ADDRESS HOME="$runtime/config" XDG_RUNTIME_DIR="$runtime/xdg" \
      XDG_CONFIG_HOME="$runtime/config" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
      timeout 180 sway -c "$runtime/sway.conf" >"$runtime/log" 2>&1
  fi
  [ -s "$result" ] || printf 'the session ran\tno\n' >"$result"
}

# $runs native runs of each column, then a table: each check's count of yes over the runs.
native_table() {
  local columns=("kwin None plain" "kwin Combinations plain" "kwin Combinations ctrl" "kwin All plain"
    "sway - plain") column n
  for column in "${columns[@]}"; do
    for n in $(seq "$runs"); do
      native_run ${column} "$scratch/${column// /-}.$n"
    done
  done
  echo "| Check | KWin, None | KWin, Combinations | KWin, Combinations, Ctrl+F5 and Ctrl+F6 | KWin, All | sway |"
  echo "|---|---|---|---|---|---|"
  (cd "$scratch" && cat kwin-*.* sway-*.* | cut -f1 | awk '!seen[$0]++') | while read -r check; do
    printf '| %s |' "$check"
    for column in "${columns[@]}"; do
      if cat "$scratch/${column// /-}".* | cut -f1 | grep -qxF "$check"; then
        printf ' %s of %s |' "$(cat "$scratch/${column// /-}".* | grep -cxF "$check"$'\tyes')" "$runs"
      else
        printf ' – |'
      fi
    done
    echo
  done
}

versions="$(dpkg-query -W -f '${Package} ${Version}, ' mutter kwin-wayland weston sway xwayland 2>/dev/null)"
{
  cat <<EOT
# Tollivane under Wayland desktops

Made by \`bench/wayland_desktops.sh $build\` on $(date -u +%Y-%m-%d) with ${versions%, }.
Only KDE Plasma 5.27's KWin, sway 1.7, GNOME 43's mutter and weston could be run here (Debian
12); what is said of the others comes from their documentation and from user reports, and was
not measured.

## Per desktop, with a native Wayland game in front

Games made with SDL3, or run through Wine's or Proton's Wayland drivers, are native Wayland
windows. In front, Wayland passes them the keys and shows them alone, unless the desktop says
otherwise. Every desktop can bind a key to a command: \`tollivane --start\`, \`--pause\` and
\`--stop\` hand it to the running Tollivane (the README shows sway and GNOME). Where the keys
do reach Tollivane, its time shows in a window of its own at the clock's place.

- **KDE Plasma 5.27** (measured below): System Settings > Applications > Legacy X11 App
  Support passes keys typed into Wayland windows on to X11 programs, and the game still gets
  them. "Always" (kwinrc \`[Xwayland]\`, \`XwaylandEavesdrops=All\`) passes every hotkey; the
  choice for keys typed with Ctrl, Alt or Meta (\`Combinations\`) passes Ctrl+F5 but not a
  plain F5; the default (\`None\`) passes none. What it costs: every X11 program may
  then read every key you type. Some combinations never reach the game or Tollivane, since
  KWin keeps them for its own shortcuts; among the function keys by default Ctrl+F1 to
  Ctrl+F4, Ctrl+F7, Ctrl+F9, Ctrl+F10, Alt+F3, Alt+F4, Meta+F5, Meta+F6 and Meta+F8.
  Tollivane's own window shows over the full-screen game. The desktop's shortcuts portal
  cannot bind at all in this version (report); a custom shortcut that runs
  \`tollivane --start\` was not tried here.
- **KDE Plasma 6** (not measured): the same Legacy X11 App Support setting (report). Its
  portal's GlobalShortcuts interface fires while a full-screen game has the focus, and takes
  the key: the game no longer sees it (report). Menu > "Desktop shortcuts" binds the hotkeys
  there (tried here only against a stand-in portal).
- **GNOME 46** (not measured): no setting passes keys on to X11 programs, and its portal has
  no GlobalShortcuts (report). Settings > Keyboard > Custom Shortcuts can run
  \`tollivane --start\` and the others (the README shows how). Whether mutter shows
  Tollivane's own window over a native full-screen window was not measured.
- **GNOME 48 and later** (not measured): as GNOME 46, and its portal has GlobalShortcuts, which
  takes the key from the game (report).
- **sway** (measured below): keys typed into a native window go to it alone. A key bound in
  sway's configuration (\`bindsym F8 exec tollivane --start\`) runs the command, and the game
  does not get that key. Tollivane's own window shows over the full-screen game. sway and the
  other wlroots desktops have no GlobalShortcuts portal (report).
- **Hyprland** (not measured): its portal has GlobalShortcuts, which takes the key from the
  game (report); a key bound in its configuration (\`bind = , F8, exec, tollivane --start\`)
  runs the command.
- **gamescope** (not measured): no GlobalShortcuts portal (report); bind a key to the commands
  in the desktop that gamescope runs on.
- **weston** (report): hides an X11 override-redirect window, as Tollivane's own window is,
  under a native full-screen window; with an X11 game it works (below).

### Measured: KWin and sway

$runs runs of each column; a cell counts the runs in which the check held. Each run starts
the compositor headless with XWayland: KWin 5.27 as \`kwin_wayland --virtual\` (a copy of it
without its file capability, which a container cannot grant; \`KWIN_WAYLAND_NO_PERMISSION_CHECKS=1\`)
with its kwinrc's \`XwaylandEavesdrops\` set to the column's choice, sway as an unprivileged
user with \`WLR_BACKENDS=headless\`. Inside, \`bench/wayland_native.sh\` starts Tollivane with its
default settings (the clock at 25, 315; "Overlay window" off, so the time goes to its own
window when no X11 window is in front), then \`wayland_game\`, a Qt program of the bench run
with \`QT_QPA_PLATFORM=wayland\`, full screen in one colour, that prints the keys it gets.
Keys are typed through the compositor as a keyboard would: KWin's fake input
(\`kwin_keys\`), sway's virtual keyboard (\`wtype\`). The screen is read back (KWin's
ScreenShot2 over D-Bus, grim on sway): the time shows when pixels of the clock's place differ
from the game's colour, and is gone when none do; before the first start none do. A check
waits up to 20 s. With the start hotkey kept away, the stop hotkey is tried on a clock started
with \`--start\`. The hotkeys are Tollivane's own, F5 to start and F7 to stop, except in the
third column: Ctrl+F5 and Ctrl+F6, since KWin keeps Ctrl+F7 for one of its own shortcuts
("Toggle Present Windows (Window class)"), and the game never sees it. The other shortcuts
named above are KWin's defaults as its kglobalaccel component lists them.

EOT
  native_table
  cat <<EOT

## An X11 game under XWayland

Each desktop runs headless with XWayland, one run each; inside it \`bench/wayland_session.sh\`
starts Tollivane and \`standin_game\` (a window that holds the focus and never repaints), both
X11 clients, activates the game through the window manager, and presses the hotkeys with XTEST.
"Drawn onto the game" reads the game's window back from XWayland; the overlay window's check
asks XWayland whether it is mapped and where.

EOT
  for compositor in mutter kwin weston; do
    echo "### $compositor"
    echo
    echo "| Check | Result |"
    echo "|---|---|"
    under "$compositor"
    echo
  done
} >"$scratch/wayland.md"
mv "$scratch/wayland.md" docs/wayland.md
cat docs/wayland.md
