#!/bin/sh
# Checks a built Windows program without running it:
#   check_exe.sh [--release] OBJDUMP PROGRAM FORMAT SUBSYSTEM [RESOURCE-TYPE...]
# FORMAT is objdump's (pei-i386, pei-x86-64), SUBSYSTEM "gui" or "console"; each RESOURCE-TYPE
# as windres names it (group_icon, bitmap, version, manifest) must be in its resources. It must import only
# DLLs that every Windows has: one self-contained .exe, nothing to ship beside it. --release: as
# it is given to users, also without debug sections or a link time, with ASLR (high-entropy on
# 64-bit) and DEP.
set -eu
release=false
if [ "$1" = --release ]; then
  release=true
  shift
fi
objdump=$1 program=$2 format=$3 subsystem=$4
shift 4
status=0
fail() {
  echo "$program: $1" >&2
  status=1
}

headers=$("$objdump" -p "$program")
echo "$headers" | grep -q "file format $format\$" || fail "not $format: $(echo "$headers" | grep 'file format')"
case $subsystem in
  gui) want="(Windows GUI)" ;;
  console) want="(Windows CUI)" ;;
  *) fail "unknown subsystem $subsystem" ;;
esac
echo "$headers" | grep -E '^Subsystem' | grep -qF "$want" || fail "subsystem is not $subsystem"

dlls=$(echo "$headers" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
[ -n "$dlls" ] || fail "imports no DLL at all"
for dll in $dlls; do
  case $dll in
    kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | comdlg32.dll | advapi32.dll | \
      shell32.dll | ole32.dll | msvcrt.dll | api-ms-win-*.dll) ;;
    *) fail "imports $dll, which is not part of Windows" ;;
  esac
done

if [ $# -gt 0 ]; then
  listing=$("${objdump%objdump}windres" -i "$program" -O rc 2>/dev/null || true)
  for type in "$@"; do
    # Named as "/* Type: group icon" or, for some, only as "/* RT_MANIFEST */".
    pattern="/\* (Type: $(echo "$type" | tr _ ' ')\$|RT_$(echo "$type" | tr a-z A-Z) \*/)"
    echo "$listing" | grep -qE "$pattern" || fail "has no $type resource"
  done
fi
if $release; then
  sections=$("$objdump" -h "$program" | awk '$2 ~ /^\.debug/ {print $2}' | tr '\n' ' ')
  [ -z "$sections" ] || fail "has debug sections: $sections"
  echo "$headers" | grep -qE '^Time/Date[[:space:]]+(Thu Jan  1 00:00:00 1970|0+)$' ||
    fail "carries a link time: $(echo "$headers" | grep '^Time/Date')"
  flags="DYNAMIC_BASE NX_COMPAT"
  [ "$format" = pei-i386 ] || flags="$flags HIGH_ENTROPY_VA"
  for flag in $flags; do
    echo "$headers" | grep -qE "^[[:space:]]+$flag\$" || fail "is not marked $flag"
  done
fi
[ "$status" -eq 0 ] && echo "$program: $format, $subsystem, imports $(echo $dlls)"
exit "$status"
