#!/bin/sh
# Runs a Windows program under Wine: run-wine.sh PREFIX PROGRAM [ARGS...]
# PREFIX is the Wine prefix of this build tree, made on first use, with an X server of its
# own (Xvfb, its display in PREFIX.display): Wine draws nothing without one, and the user's
# screen stays out of the tests. `run-wine.sh PREFIX --start [PROGRAM]` makes them ready
# beforehand, `run-wine.sh PREFIX --stop` ends both, and `run-wine.sh PREFIX --env [PROGRAM]`
# makes them ready and prints the shell assignments that run Wine programs there by hand
# (`eval` them, then run "$WINELOADER" PROGRAM).
# A prefix holds one architecture: that of the first program it is made for (64-bit when
# none is named). Each gets its own loader, named outright: once Debian's wine32 is installed
# the plain `wine` command is the 32-bit loader, which cannot start a 64-bit prefix, and
# without wine32, `wine` would exit 0 on a 32-bit program without running it.
# `run-wine.sh PREFIX --can-run PROGRAM` only asks whether this machine can run PROGRAM's
# loader: exit 0, or 1 with the reason on one line (some kernels are built without 32-bit
# support). TOLLIVANE_WINE64_LOADER and TOLLIVANE_WINE32_LOADER name other loaders.
# Never hangs: the Wine server is started apart from our output (ctest waits for every
# process that holds its pipes), and the program gets a time limit.
set -eu
prefix=$(realpath -m "$1")
program=$2
shift 2
export WINEPREFIX="$prefix" WINEDEBUG=-all

if [ "$program" = --stop ]; then
  wineserver -k 2>/dev/null || true
  if [ -f "$prefix.xvfb" ]; then kill "$(cat "$prefix.xvfb")" 2>/dev/null || true; fi
  rm -f "$prefix.xvfb" "$prefix.display"
  exit 0
fi

mode=run
case $program in
  --start | --env | --can-run)
    mode=$program
    program=${1:-}
    ;;
esac

arch=
if [ -n "$program" ]; then
  # The PE header: offset at 0x3c, then "PE\0\0" and the machine.
  pe=$(od -An -tu4 -j60 -N4 "$program" | tr -d ' ')
  case $(od -An -tx2 -j$((pe + 4)) -N2 "$program" | tr -d ' ') in
    8664) arch=win64 ;;
    014c) arch=win32 ;;
    *)
      echo "run-wine.sh: $program is not an x86 or x86-64 Windows program; refusing" >&2
      exit 3
      ;;
  esac
fi
# Wine notes the architecture at the top of the prefix's registry.
made=$(sed -n '1,5s/^#arch=//p' "$prefix/system.reg" 2>/dev/null || true)
if [ -n "$made" ] && [ -n "$arch" ] && [ "$made" != "$arch" ]; then
  echo "run-wine.sh: $prefix is a $made prefix, $program needs $arch; refusing" >&2
  exit 3
fi
arch=${arch:-${made:-win64}}
if [ "$arch" = win64 ]; then
  loader=${TOLLIVANE_WINE64_LOADER:-/usr/lib/wine/wine64}
  bits=64
else
  loader=${TOLLIVANE_WINE32_LOADER:-/usr/lib/wine/wine}
  bits=32
fi
# Where the kernel refuses the loader, a shell would go on to read it as a script and fail
# with a syntax error: ask bash, which names the refusal, and say it in our own words.
why=
if [ ! -x "$loader" ]; then
  why="Wine's $arch loader $loader is missing (Debian: wine64, or wine32:i386)"
elif ! refusal=$(bash -c 'exec "$0" --version' "$loader" 2>&1 >/dev/null); then
  case $refusal in
    *"Exec format error"*) why="this kernel cannot run $bits-bit programs ($loader: Exec format error)" ;;
    *) why="Wine's loader $loader does not start: $(echo "$refusal" | tail -n 1)" ;;
  esac
fi
if [ "$mode" = --can-run ]; then
  [ -z "$why" ] || { echo "$why"; exit 1; }
  exit 0
fi
if [ -n "$why" ]; then
  echo "run-wine.sh: $why; ${program:-Wine} not run" >&2
  exit 3
fi
export WINEARCH="$arch" WINELOADER="$loader"

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
    timeout 120 "$loader" wineboot -i </dev/null >/dev/null 2>&1 9>&- || true
  fi
  # A new server: start Wine's own services now, apart from our output, or they would
  # inherit the first test's pipes.
  if wineserver -p </dev/null >/dev/null 2>&1 9>&-; then
    timeout 120 "$loader" cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
  fi
) 9>"$prefix.lock"
DISPLAY=":$(cat "$prefix.display")"
export DISPLAY
case $mode in
  --start) exit 0 ;;
  --env)
    for name in WINEPREFIX WINEARCH WINELOADER WINEDEBUG WINEDLLOVERRIDES DISPLAY; do
      eval "value=\$$name"
      printf "export %s='%s'\n" "$name" "$value"
    done
    exit 0
    ;;
esac
# A hard limit, so that a hung test fails; generous, since a loaded machine may run an hour of
# frames several times slower than an idle one.
# A fault in the Windows program is Wine's to report (it names the page fault and exits with
# its own status); the loader itself dying of SIGSEGV is Wine's own rare start-up or exit
# crash, seen once in some thousand runs of a test that makes no system call of note. That
# run is said and made once more; a second crash stands.
status=0
timeout -k 5 "${WINE_TIMEOUT:-600}" "$loader" "$program" "$@" || status=$?
if [ "$status" -eq 139 ]; then
  echo "run-wine.sh: Wine's loader crashed (SIGSEGV) running $program; running it once more" >&2
  status=0
  timeout -k 5 "${WINE_TIMEOUT:-600}" "$loader" "$program" "$@" || status=$?
fi
exit "$status"
