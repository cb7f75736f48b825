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
  local desktop=$1 choice=$2 result=$3 runtime
  runtime="$(mktemp -d "$scratch/run.XXXX")"
  chmod 755 "$runtime" && mkdir -m 700 "$runtime/xdg" "$runtime/config"
  if [ "$desktop" = kwin ]; then
    printf '[Xwayland]\nXwaylandEavesdrops=%s\n' "$choice" >"$runtime/config/kwinrc"
    cp "$(command -v kwin_wayland)" "$runtime/kwin_wayland"
    XDG_RUNTIME_DIR="$runtime/xdg" XDG_CONFIG_HOME="$runtime/config" SESSION_RESULT="$result" \
      KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 \
      timeout 180 dbus-run-session -- "$runtime/kwin_wayland" --virtual --xwayland \
      --width 1024 --height 768 --exit-with-session "${native[*]} kwin 0" \
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
  local columns=("kwin None" "kwin Combinations" "kwin All" "sway -") column n
  for column in "${columns[@]}"; do
    for n in $(seq "$runs"); do
      native_run ${column} "$scratch/${column// /-}.$n"
    done
  done
  echo "| Check | KWin, None | KWin, Combinations | KWin, All | sway |"
  echo "|---|---|---|---|---|"
  (cd "$scratch" && cat kwin-*.* sway--.* | cut -f1 | awk '!seen[$0]++') | while read -r check; do
    printf '| %s |' "$check"
    for column in "${columns[@]}"; do
      printf ' %s of %s |' \
        "$(cat "$scratch/${column// /-}".* | grep -cxF "$check"$'\tyes')" "$runs"
    done
    echo
  done
}

versions="$(dpkg-query -W -f '${Package} ${Version}, ' mutter kwin-wayland weston xwayland 2>/dev/null)"
{
  cat <<EOT
# Tollivane under Wayland desktops

Made by \`bench/wayland_desktops.sh $build\` on $(date -u +%Y-%m-%d) with ${versions%, }. Each
desktop runs headless with XWayland, one run each; inside it \`bench/wayland_session.sh\` starts
Tollivane and \`standin_game\` (a window that holds the focus and never repaints), both X11
clients, activates the game through the window manager, and presses the hotkeys with XTEST.
"Drawn onto the game" reads the game's window back from XWayland; the overlay window's check
asks XWayland whether it is mapped and where, since a headless compositor's screen cannot be
read back here.

EOT
  for compositor in mutter kwin weston; do
    echo "## $compositor"
    echo
    echo "| Check | Result |"
    echo "|---|---|"
    under "$compositor"
    echo
  done
  cat <<'EOT'
## A native Wayland window in front

Not measured, and not measurable this way: XTEST makes its key events inside XWayland, where
they reach X11 clients whatever the compositor has in front, while a real key press goes from
the compositor to the focused surface only. With a native Wayland window in front, XWayland
gets no key events and its key state does not change, so Tollivane's hotkeys do nothing; and
no X11 window can be drawn onto or placed above a Wayland surface. Nothing on Tollivane's side
can change either: Wayland gives no program the keys of another or a way to draw above it.
The README says so.
EOT
} >"$scratch/wayland.md"
mv "$scratch/wayland.md" docs/wayland.md
cat docs/wayland.md
