#!/bin/sh
# Runs a Windows program under Wine at another dpi, in a prefix and X server of its own beside
# the build's, which the other tests share at 96 dpi; both are ended afterwards.
#   at_dpi.sh RUN-WINE PREFIX DPI PROGRAM [ARGS...]
set -eu
run_wine=$1 prefix=$2-dpi$3 dpi=$3
shift 3
trap '"$run_wine" "$prefix" --stop' EXIT
eval "$("$run_wine" "$prefix" --env "$1")"
"$WINELOADER" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
  </dev/null >/dev/null 2>&1
"$run_wine" "$prefix" "$@"
