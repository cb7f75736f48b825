#!/bin/sh
# Runs a 64-bit Windows program under Wine: run-wine.sh PREFIX PROGRAM [ARGS...]
# PREFIX is the Wine prefix of this build tree, made on first use, with an X server of its
# own (Xvfb, its display in PREFIX.display): Wine draws nothing without one, and the user's
# screen stays out of the tests. `run-wine.sh PREFIX --start` makes them ready beforehand,
# `run-wine.sh PREFIX --stop` ends both. A 32-bit program is
# refused: Debian's wine64 would exit 0 without running it, and a test would "pass".
# Never hangs: the Wine server is started apart from our output (ctest waits for every
# process that holds its pipes), and the program gets a time limit.
set -eu
prefix=$(realpath -m "$1")
program=$2
shift 2
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all

if [ "$program" = --stop ]; then
  wineserver -k 2>/dev/null || true
  if [ -f "$prefix.xvfb" ]; then kill "$(cat "$prefix.xvfb")" 2>/dev/null || true; fi
  rm -f "$prefix.xvfb" "$prefix.display"
  exit 0
fi

if [ "$program" != --start ]; then
  # The PE header: offset at 0x3c, then "PE\0\0" and the machine (0x8664 for x86-64).
  pe=$(od -An -tu4 -j60 -N4 "$program" | tr -d ' ')
  machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$program" | tr -d ' ')
  if [ "$machine" != 8664 ]; then
    echo "run-wine.sh: $program is not an x86-64 Windows program (machine $machine); refusing" >&2
    exit 3
  fi
fi

# No Mono or Gecko download prompts while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
mkdir -p "$prefix"
(
  flock 9
  if ! { [ -s "$prefix.display" ] && kill -0 "$(cat "$prefix.xvfb" 2>/dev/null)" 2>/dev/null; }; then
    rm -f "$prefix.display"
    # -displayfd: the server picks a free display and says which; nothing is guessed.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$prefix.display" \
      </dev/null >/dev/null 2>&1 9>&- &
    echo $! >"$prefix.xvfb"
    tries=0
    until [ -s "$prefix.display" ]; do
      tries=$((tries + 1))
      [ "$tries" -lt 100 ] || { echo "run-wine.sh: Xvfb did not start" >&2; exit 1; }
      sleep 0.1
    done
  fi
  export DISPLAY=":$(cat "$prefix.display")"
  if [ ! -f "$prefix/system.reg" ]; then
    timeout 120 wineboot -i </dev/null >/dev/null 2>&1 9>&- || true
  fi
  # A new server: start Wine's own services now, apart from our output, or they would
  # inherit the first test's pipes.
  if wineserver -p </dev/null >/dev/null 2>&1 9>&-; then
    timeout 120 wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
  fi
) 9>"$prefix.lock"
[ "$program" != --start ] || exit 0
DISPLAY=":$(cat "$prefix.display")"
export DISPLAY
# A hard limit, so that a hung test fails; generous, since a loaded machine may run an hour of
# frames several times slower than an idle one.
exec timeout -k 5 "${WINE_TIMEOUT:-600}" wine "$program" "$@"
