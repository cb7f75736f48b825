#!/bin/sh
# run-wine.sh names a loader this kernel refuses in its own words, both when asked and when
# told to run a program with it, and goes on with one it can run; a loader that crashes is run
# once more, and a second crash stands: run_wine_loader.sh RUN_WINE
set -eu
run_wine=$1
dir=$(mktemp -d)
trap '"$run_wine" "$dir/prefix64" --stop; rm -rf "$dir"' EXIT
fail() {
  echo "run_wine_loader: $*" >&2
  exit 1
}

# A 32-bit Windows program as far as run-wine.sh reads it: the PE offset at 0x3c, then "PE\0\0"
# and the i386 machine.
printf 'MZ' >"$dir/prog.exe"
head -c 58 /dev/zero >>"$dir/prog.exe"
printf '\100\000\000\000PE\000\000\114\001' >>"$dir/prog.exe"

# An ELF file for no machine at all: execve refuses it with "Exec format error", as a kernel
# without 32-bit support refuses Wine's 32-bit loader.
cp /bin/true "$dir/refused"
printf '\000\000' | dd of="$dir/refused" bs=1 seek=18 conv=notrunc 2>/dev/null
chmod +x "$dir/refused"
printf '#!/bin/sh\necho wine-stand-in\n' >"$dir/runnable"
chmod +x "$dir/runnable"

if why=$(TOLLIVANE_WINE32_LOADER="$dir/refused" "$run_wine" "$dir/prefix" --can-run "$dir/prog.exe"); then
  fail "a refused loader was taken as runnable"
fi
case $why in
  "this kernel cannot run 32-bit programs ($dir/refused: Exec format error)") ;;
  *) fail "the reason given was: $why" ;;
esac

status=0
TOLLIVANE_WINE32_LOADER="$dir/refused" "$run_wine" "$dir/prefix" "$dir/prog.exe" 2>"$dir/err" || status=$?
[ "$status" = 3 ] || fail "running with a refused loader exited $status, not 3"
grep -q "this kernel cannot run 32-bit programs" "$dir/err" || fail "it said: $(cat "$dir/err")"
! grep -q "Syntax error" "$dir/err" || fail "a shell read the loader as a script: $(cat "$dir/err")"
[ ! -e "$dir/prefix" ] || fail "a prefix was made for a loader that cannot run"

TOLLIVANE_WINE32_LOADER="$dir/runnable" "$run_wine" "$dir/prefix" --can-run "$dir/prog.exe" ||
  fail "a runnable loader was refused"
# A 64-bit one, run by a stand-in loader that dies of SIGSEGV the first $crashes times it runs
# the program.
sed 's/\x4c\x01$/\x64\x86/' "$dir/prog.exe" >"$dir/prog64.exe"
cat >"$dir/crashing" <<EOF
#!/bin/sh
[ "\$1" = "$dir/prog64.exe" ] || exit 0
n=\$(cat "$dir/runs" 2>/dev/null || echo 0)
echo \$((n + 1)) >"$dir/runs"
[ "\$n" -ge "\$crashes" ] || kill -SEGV \$\$
echo ran
EOF
chmod +x "$dir/crashing"
for crashes in 1 2; do
  rm -f "$dir/runs"
  status=0
  out=$(crashes=$crashes TOLLIVANE_WINE64_LOADER="$dir/crashing" "$run_wine" "$dir/prefix64" \
    "$dir/prog64.exe" 2>"$dir/err") || status=$?
  case $crashes:$status:$out in
    1:0:ran | 2:139:) ;;
    *) fail "a loader crashing $crashes times: exit $status, out '$out', err $(cat "$dir/err")" ;;
  esac
  grep -q "Wine's loader crashed (SIGSEGV)" "$dir/err" || fail "the crash was not said"
done
echo "run_wine_loader: passed"
