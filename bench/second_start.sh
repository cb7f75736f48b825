#!/usr/bin/env bash
# What a later start does when the first Tollivane cannot answer: the first stopped (as a
# debugger or a frozen desktop stops it), or the instance name held by a program that never
# answers. For a baseline program and this build's, each on a private Xvfb: how many of the
# later starts bring a window of their own, claim the first was brought to the front, or hang
# (neither within the limit), and how long those that came back took. Writes the figures into
# the second start section of docs/performance.md.
#   bench/second_start.sh <baseline tollivane> [build folder] [starts] [limit in seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
baseline="${1:?usage: bench/second_start.sh <baseline tollivane> [build] [starts] [limit]}"
build="${2:-build/default}"
starts="${3:-12}"
limit="${4:-5}"
command="bench/second_start.sh <baseline> $build $starts $limit"
scratch="$(mktemp -d)"
xvfb=""
holder=""
cleanup() {
  [ -n "$holder" ] && kill "$holder" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

exec 3<> <(:)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
read -r -t 10 number <&3
export DISPLAY=":$number"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

windows_of() {  # the viewable windows titled Tollivane of a process
  timeout 5 xdotool search --all --onlyvisible --pid "$1" --name '^Tollivane$' 2>/dev/null | wc -l
}

# One later start: "window", "claimed" or "hung", and the milliseconds it took.
later_start() {
  local program=$1 began pid outcome=hung took
  began=$(date +%s%N)
  "$program" >"$scratch/out" 2>&1 &
  pid=$!
  while (($(date +%s%N) - began < limit * 1000000000)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid" || true
      grep -q "brought to the front" "$scratch/out" && outcome=claimed || outcome=ended
      break
    fi
    if (($(windows_of "$pid") > 0)); then
      outcome=window
      break
    fi
    sleep 0.01
  done
  took=$((($(date +%s%N) - began) / 1000000))
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "$outcome $took"
}

# The instance name the program uses for its settings file beside it.
instance_name() {
  python3 - "$1" <<'PY'
import os, sys
digest = 14695981039346656037
for c in os.path.realpath(sys.argv[1]).encode():
    digest = ((digest ^ c) * 1099511628211) % (1 << 64)
print("tollivane/%d/%016x" % (os.geteuid(), digest))
PY
}

# A program that holds the name with a socket of the given type and never answers; it has
# the name when this returns.
hold_name() {
  exec 5< <(python3 - "$1" "$2" <<'PY'
import socket, sys
kind = socket.SOCK_SEQPACKET if sys.argv[2] == "packet" else socket.SOCK_STREAM
s = socket.socket(socket.AF_UNIX, kind)
s.bind("\0" + sys.argv[1])
s.listen(8)
print("holding", flush=True)
held = []
while True:
    connection, _ = s.accept()
    held.append(connection)
PY
)
  holder=$!
  local state=""
  read -r -t 30 state <&5 || true
  [ "$state" = holding ] || { echo "the name could not be held" >&2; exit 1; }
}

# "window N, claimed N, hung N; median (min-max) ms of those that came back"
trial() {
  local program=$1 kind=$2 socket_type=$3 folder first=""
  folder="$scratch/$(basename "$(dirname "$program")")-$kind"
  mkdir -p "$folder"
  cp "$program" "$folder/tollivane"
  if [ "$kind" = stopped ]; then
    # A session of its own: when the group it would share with this script lost its last tie
    # to a parent outside, the kernel would wake its stopped members with SIGHUP and SIGCONT.
    setsid "$folder/tollivane" >/dev/null 2>&1 &
    first=$!
    for _ in $(seq 200); do (($(windows_of "$first") > 0)) && break; sleep 0.05; done
    kill -STOP "$first"
  else
    hold_name "$(instance_name "$folder/Tollivane.ini")" "$socket_type"
  fi
  local results=()
  for _ in $(seq "$starts"); do results+=("$(later_start "$folder/tollivane")"); done
  [ -n "$first" ] && { kill -KILL "$first"; wait "$first" 2>/dev/null || true; }
  [ -n "$holder" ] && { kill "$holder"; wait "$holder" 2>/dev/null || true; holder=""; }
  printf '%s\n' "${results[@]}" | python3 -c '
import sys
rows = [l.split() for l in sys.stdin if l.strip()]
count = lambda o: sum(1 for r in rows if r[0] == o)
back = sorted(int(r[1]) for r in rows if r[0] != "hung")
spread = "%d (%d-%d) ms" % (back[len(back) // 2], back[0], back[-1]) if back else "-"
print("%d | %d | %d | %s" % (count("window"), count("claimed"), count("hung"), spread))'
}

table() {  # program, socket type of its instance name
  echo "| First instance | Own window | Claimed \"brought to the front\" | Hung (over $limit s) | Time to come back, median (min-max) |"
  echo "|---|---|---|---|---|"
  echo "| stopped (SIGSTOP) | $(trial "$1" stopped "$2") |"
  echo "| name held by a program that never answers | $(trial "$1" silent "$2") |"
}

mkdir -p "$scratch/baseline" "$scratch/build"
cp "$baseline" "$scratch/baseline/tollivane"
cp "$build/bin/tollivane" "$scratch/build/tollivane"
before="$(table "$scratch/baseline/tollivane" stream)"
after="$(table "$scratch/build/tollivane" packet)"
cpu="$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"

section="$(cat <<EOT
<!-- second start figures: begin -->
## A second start when the first cannot answer, on X11

Measured with \`$command\` on $(date -u +%Y-%m-%d), $(nproc) cores ($cpu, shared with other
work), on Xvfb. $starts later starts, one after another, with the same settings file as a first
Tollivane that was stopped with SIGSTOP, or with the instance name held by a program that
accepts connections and never answers. A start counts as hung when it neither opened its
window nor ended within $limit s; the time is from its start to its window or its end. The
baseline is the program as it was before a later start waited for an acknowledgement.

Baseline:

$before

This build:

$after
<!-- second start figures: end -->
EOT
)"
source bench/doc_section.sh
put_section "second start figures" "$section"
printf 'Baseline:\n%s\n\nThis build:\n%s\n' "$before" "$after"
