#!/bin/sh
# Runs a 64-bit Windows program under Wine: run-wine.sh PREFIX PROGRAM [ARGS...]
# PREFIX is the Wine prefix of this build tree, made on first use. A 32-bit program is
# refused: Debian's wine64 would exit 0 without running it, and a test would "pass".
# Never hangs: the Wine server is started apart from our output (ctest waits for every
# process that holds its pipes), and the program gets a time limit.
set -eu
prefix=$(realpath -m "$1")
program=$2
shift 2

# The PE header: offset at 0x3c, then "PE\0\0" and the machine (0x8664 for x86-64).
pe=$(od -An -tu4 -j60 -N4 "$program" | tr -d ' ')
machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$program" | tr -d ' ')
if [ "$machine" != 8664 ]; then
  echo "run-wine.sh: $program is not an x86-64 Windows program (machine $machine); refusing" >&2
  exit 3
fi

export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko download prompts while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
mkdir -p "$prefix"
(
  flock 9
  if [ ! -f "$prefix/system.reg" ]; then
    timeout 120 wineboot -i </dev/null >/dev/null 2>&1 9>&- || true
  fi
  wineserver -p </dev/null >/dev/null 2>&1 9>&- || true
) 9>"$prefix.lock"
exec timeout -k 5 "${WINE_TIMEOUT:-120}" wine "$program" "$@"
