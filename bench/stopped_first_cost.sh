#!/usr/bin/env bash
# What a first Tollivane that is stopped (SIGSTOP, as a debugger or a frozen desktop stops it)
# costs what comes after it, beside the same with none running, in the same run: a start, from
# its launch to its own window, and `tollivane --start`, from its launch to its end. For a
# baseline program and this build's, on a private Xvfb, the runs of all eight interleaved.
# Writes the figures into the stopped first section of docs/performance.md.
#   bench/stopped_first_cost.sh <baseline tollivane> [build folder] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
baseline="${1:?usage: bench/stopped_first_cost.sh <baseline tollivane> [build] [runs]}"
build="${2:-build/default}"
runs="${3:-15}"
scratch="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$scratch"
}
trap cleanup EXIT

exec 3<> <(:)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
read -r -t 10 number <&3
export DISPLAY=":$number"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

now_ms() { echo $(($(date +%s%N) / 1000000)); }
has_window() { xdotool search --all --onlyvisible --pid "$1" --name '^Tollivane$' >/dev/null 2>&1; }

# Milliseconds from launching PROGRAM to its window, or "-" when it ended without one.
start_cost() {
  local began pid took=-
  began=$(now_ms)
  "$1" >/dev/null 2>&1 &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    if has_window "$pid"; then
      took=$(($(now_ms) - began))
      break
    fi
    sleep 0.005
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "$took"
}

# Milliseconds from launching PROGRAM --start to its end, and its exit status.
command_cost() {
  local began status=0
  began=$(now_ms)
  "$1" --start >/dev/null 2>&1 || status=$?
  echo "$(($(now_ms) - began)) $status"
}

# Each program in two folders of its own, so with a settings file and instance name of its own:
# one with no first copy, one whose first copy is stopped.
for who in baseline build; do
  mkdir -p "$scratch/$who-none" "$scratch/$who-stopped"
  program="$baseline"
  [ "$who" = build ] && program="$build/bin/tollivane"
  cp "$program" "$scratch/$who-none/tollivane"
  cp "$program" "$scratch/$who-stopped/tollivane"
  # A session of its own: were its group left with no parent outside, the kernel would wake
  # its stopped members with SIGHUP and SIGCONT.
  setsid "$scratch/$who-stopped/tollivane" >/dev/null 2>&1 &
  first=$!
  pids+=("$first")
  for _ in $(seq 400); do has_window "$first" && break; sleep 0.05; done
  has_window "$first" || { echo "the first $who copy showed no window" >&2; exit 1; }
  kill -STOP "$first"
done

for _ in $(seq "$runs"); do
  for who in baseline build; do
    for where in none stopped; do
      echo "$(start_cost "$scratch/$who-$where/tollivane")" >>"$scratch/$who-$where.start"
      command_cost "$scratch/$who-$where/tollivane" >>"$scratch/$who-$where.command"
    done
  done
done

# "median (min-max)" of the first field of FILE's lines; "-" fields are counted apart.
spread() {
  python3 - "$1" <<'PY'
import sys
rows = [l.split() for l in open(sys.argv[1]) if l.strip()]
times = sorted(int(r[0]) for r in rows if r[0] != "-")
statuses = sorted({r[1] for r in rows if len(r) > 1})
text = "%d (%d-%d)" % (times[len(times) // 2], times[0], times[-1]) if times else "-"
if len(times) < len(rows): text += ", %d without a window" % (len(rows) - len(times))
if statuses: text += " | " + ", ".join(statuses)
print(text)
PY
}

table() {
  echo "| Program | Start, none running (ms) | Start, first stopped (ms) | --start, none running (ms) | Exit | --start, first stopped (ms) | Exit |"
  echo "|---|---|---|---|---|---|---|"
  for who in baseline build; do
    echo "| $who | $(spread "$scratch/$who-none.start") | $(spread "$scratch/$who-stopped.start") | $(spread "$scratch/$who-none.command") | $(spread "$scratch/$who-stopped.command") |"
  done
}
figures="$(table)"
cpu="$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
section="$(cat <<EOT
<!-- stopped first figures: begin -->
## What a stopped first copy costs a start, on X11

Measured with \`bench/stopped_first_cost.sh <baseline> $build $runs\` on $(date -u +%Y-%m-%d),
$(nproc) cores ($cpu, shared with other work), on Xvfb: $runs runs of each, interleaved, as
median (min-max). A start is timed from its launch to its own window; \`--start\` from its
launch to its end, with its exit status (1: none running, 3: the running one does not answer).
Beside a first copy stopped with SIGSTOP, the later start waits for its answer before it goes
on alone; the same start with none running is the floor. The baseline is the program before
the wait became one for starts and commands on every system.

$figures
<!-- stopped first figures: end -->
EOT
)"
source bench/doc_section.sh
put_section "stopped first figures" "$section"
echo "$figures"
