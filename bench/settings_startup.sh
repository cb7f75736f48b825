#!/usr/bin/env bash
# Start-up and "Save keys" on settings files of 1, 10 and 100 MB (long lines, short lines,
# blank lines; the program's keys at the very end), each beside the baseline of reading the
# same file's bytes and nothing more, in the same run. Writes the figures into the settings
# section of docs/performance.md.
#   bench/settings_startup.sh [build folder] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
runs="${2:-5}"
bench="$build/bin/settings_file_bench"
# In memory: the figures are the program's own work, not the disk's.
work="$(mktemp -d /dev/shm/tollivane-bench-XXXXXX)"
trap 'rm -rf "$work"' EXIT

python3 - "$work" <<'PY'
import os, sys
work = sys.argv[1]
tail = b"[main]\r\nhotkey1=65\r\nhotshift1=0\r\n[rect]\r\nX=25\r\nY=315\r\n"
shapes = {
    "long": lambda n: b"; " + b"x" * (64 * 1024 - 4) + b"\r\n",          # 64 KiB lines
    "short": lambda n: b"k%07d=%d\r\n" % (n, n % 10),                     # 12-byte keys
    "blank": lambda n: b"\r\n",                                            # blank lines
}
for size in (1, 10, 100):
    for shape, line in shapes.items():
        folder = os.path.join(work, f"{shape}-{size}")
        os.makedirs(folder)
        target = size * 1000 * 1000
        with open(os.path.join(folder, "Tollivane.ini"), "wb") as f:
            f.write(b"[data]\r\n")
            written, n = 8, 0
            chunk = []
            while written < target:
                b = line(n); chunk.append(b); written += len(b); n += 1
                if len(chunk) >= 4096:
                    f.write(b"".join(chunk)); chunk = []
            f.write(b"".join(chunk))
            f.write(tail)
PY

# Median and range in milliseconds of RUNS measurements of one mode on one file:
# "median min max peak-MiB".
measure() {
  local mode="$1" folder="$2"
  for _ in $(seq "$runs"); do "$bench" "$mode" "$folder"; done |
    sort -n | awk -v n="$runs" '{ t[NR] = $1; if ($2 > m) m = $2 }
      END { printf "%.1f %.1f %.1f %.0f\n", 1000 * t[int((n + 1) / 2)], 1000 * t[1], 1000 * t[n], m / 1024 }'
}

rows=""
for size in 1 10 100; do
  for shape in long short blank; do
    folder="$work/$shape-$size"
    # Interleaved, so that a noisy moment of the machine touches all three alike.
    read -r rm rlo rhi rmem < <(measure read "$folder")
    read -r sm slo shi smem < <(measure startup "$folder")
    read -r wm wlo whi wmem < <(measure save "$folder")
    bytes=$(stat -c %s "$folder/Tollivane.ini")
    rows+="| $size MB, $shape lines ($bytes bytes) | $rm ms ($rlo-$rhi), $rmem MiB | $sm ms ($slo-$shi), $smem MiB | $wm ms ($wlo-$whi), $wmem MiB |"$'\n'
  done
done

type="$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")"
cpu="$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
section="$(cat <<EOT
<!-- settings file figures: begin -->
## Start-up and saving on large settings files

Measured with \`bench/settings_startup.sh $build $runs\` (a $type build) on $(date -u +%Y-%m-%d),
$(nproc) cores ($cpu), files in /dev/shm. Each cell: median of $runs runs, (fastest-slowest),
and the process's peak resident memory. The baseline reads the file's bytes and nothing more;
start-up is the whole load handler on the simulated platform (the file read once, all eight
settings found in one pass); a save rereads the file under the folder's lock and writes it back
in one pass, flushed. The program's keys stand at the very end of each file.

| File | Read only (baseline) | Start-up | "Save keys" |
|---|---|---|---|
$rows
Files above 128 MiB are not read at all: start-up uses the built-in settings and says so, and
a save refuses.
<!-- settings file figures: end -->
EOT
)"

source bench/doc_section.sh
put_section "settings file figures" "$section"
echo "$section"
