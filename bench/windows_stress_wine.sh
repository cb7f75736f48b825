#!/usr/bin/env bash
# Saves and quick taps for the Windows build under Wine: two programs saving into one settings
# file at once through the Windows files adapter (updates lost, saves refused), and taps of a
# hotkey shorter than a poll (taps seen). Writes the figures into their section of
# docs/performance.md. Needs the windows-x64 build (settings_writer and tap_probe).
#   bench/windows_stress_wine.sh [build folder] [runs] [saves]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/windows-x64}"
runs="${2:-3}"
saves="${3:-300}"
taps=50 held=30
command="bench/windows_stress_wine.sh $build $runs $saves"

prefix="$(realpath "$build")/wine"
eval "$(cmake/run-wine.sh "$prefix" --env "$build/bin/tap_probe.exe")"
work=$(mktemp -d)
trap 'rm -rf "$work"; cmake/run-wine.sh "$prefix" --stop' EXIT

# The median with the lowest and highest in brackets.
spread() {
  sort -g | awk '{ v[NR] = $1 } END { printf "%d (%d-%d)", v[int((NR + 1) / 2)], v[1], v[NR] }'
}

lost=() refused=() plain=() combination=() rival_plain=() rival_combination=()
# Taps seen of each chord: "F7 C9" for F7 and Ctrl+Shift+F9.
taps_seen() {
  timeout 600 "$WINELOADER" "$build/bin/tap_probe.exe" "$taps" "$held" "$@" </dev/null 2>/dev/null |
    tr -d '\r' | tr '/' ' ' | awk '{ print $2, $5 }'
}
for ((run = 1; run <= runs; run++)); do
  file="$work/Tollivane.ini"
  rm -f "$file"
  target=$("$WINELOADER" winepath -w "$file" 2>/dev/null)
  timeout 600 "$WINELOADER" "$build/bin/settings_writer.exe" "$target" "$saves" A \
    </dev/null >"$work/a.out" 2>/dev/null &
  a=$!
  timeout 600 "$WINELOADER" "$build/bin/settings_writer.exe" "$target" "$saves" B \
    </dev/null >"$work/b.out" 2>/dev/null &
  b=$!
  wait "$a" || true
  wait "$b" || true
  no=$(cat "$work/a.out" "$work/b.out" | tr -d '\r' | awk '$1 == "refused" { n += $2 } END { print n + 0 }')
  kept=$( [ -f "$file" ] && grep -c . "$file" || echo 0)
  refused+=("$no")
  lost+=("$((2 * saves - no - kept))")
  read -r p c < <(taps_seen)
  read -r rp rc < <(taps_seen rival)
  plain+=("$p") combination+=("$c") rival_plain+=("$rp") rival_combination+=("$rc")
  echo "run $run: $no refused, ${lost[-1]} lost of $((2 * saves)); taps seen of $taps: F7 $p" \
    "($rp with another reader), Ctrl+Shift+F9 $c ($rc)" >&2
done

table="| Measure | Median (lowest-highest) over $runs runs |
|---|---|
| Updates lost, of $((2 * saves)) | $(printf '%s\n' "${lost[@]}" | spread) |
| Saves refused, of $((2 * saves)) | $(printf '%s\n' "${refused[@]}" | spread) |
| ${held} ms taps of F7 seen, of $taps | $(printf '%s\n' "${plain[@]}" | spread) |
| the same with another program reading the keys | $(printf '%s\n' "${rival_plain[@]}" | spread) |
| ${held} ms taps of Ctrl+Shift+F9 seen, of $taps | $(printf '%s\n' "${combination[@]}" | spread) |
| the same with another program reading the keys | $(printf '%s\n' "${rival_combination[@]}" | spread) |"

cpu="$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
section="$(cat <<EOT
<!-- saves and taps under Wine: begin -->
## Saves from two programs and quick taps, Windows build under Wine

Measured with \`$command\` on $(date -u +%Y-%m-%d), $(nproc) cores ($cpu, shared with other
work), $("$WINELOADER" --version). Saves: two processes (\`tests/win32/settings_writer.cpp\`) start
together and each makes $saves updates of one settings file through the Windows files adapter,
each adding a line of its own; an update is lost when it reported success but its line is not
in the file at the end. Taps: \`tests/win32/tap_probe.cpp\` polls the bindings as the program
does, then taps a key through SendInput, held ${held} ms, and polls again, $taps times for F7 alone
and $taps times for Ctrl+Shift+F9; then again with a query of the tapped keys through
GetAsyncKeyState between each tap and the poll, as any other program reading the keyboard that
way may make. Before the adapter held other programs' saves off, the same script gave, over 6
runs, 152-216 updates lost and 57-86 saves refused of 600 (the rename over the file refused
while the other process read it). Before the key state kept presses from a low-level keyboard
hook, relying on the system's "pressed since the last query" bit, which another program's query
takes away, the same script gave over 3 runs:
F7 50 (50-50) of 50 taps seen, 0 (0-0) with another program reading the keys; Ctrl+Shift+F9
0 (0-0), and 0 (0-0).

$table
<!-- saves and taps under Wine: end -->
EOT
)"

source bench/doc_section.sh
put_section "saves and taps under Wine" "$section"
printf '%s\n' "$table"
