#!/usr/bin/env bash
# Regenerates docs/reliability.md: runs the test of each attack on the settings file, the
# SIGKILL trial (KILLS kills, default 1000), and takes the long fuzz runs' summary from
# build/fuzz-long/summary.tsv (made by tools/fuzz-long.sh).
#   tools/reliability.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
kills="${KILLS:-1000}"
doc=docs/reliability.md

cmake --build "$build" -j "${JOBS:-2}" >/dev/null

# Number, attack, what happens now, the tests (a ctest regular expression).
attacks=(
  "1|A FIFO named Tollivane.ini|Start-up does not block: built-in settings and one notice. A save refuses: \"is a FIFO, not a regular file\", naming the file; the program goes on.|HostileFiles.NothingButARegularFile|HostileSettings.AFifo"
  "2|Tollivane.ini a link to /dev/zero or /dev/full; a file too large to hold|Nothing but a regular file is opened for reading, and at most 128 MiB is read; a save that would make the file larger is refused and leaves it as it was. Running out of memory anyway is run-time error 7 \"Out of memory\": a save shows it and goes on, any other handler reports it and ends.|HostileFiles.NothingButARegularFile|HostileFiles.AFileAboveTheSizeLimit|OutOfMemory"
  "3|Tollivane.ini a link to a character device (a private node like /dev/null)|A save refuses (\"is a character device, not a regular file\") and never replaces the node.|HostileFiles.NothingButARegularFile"
  "4|Files of 10 and 100 MB: many short lines, blank lines, long lines|One pass over the file per start-up and per save; memory is the file's bytes once at start-up and old plus new bytes in a save (figures in performance.md).|SettingsCost|ProfileWriteAll|ProfileLookupAll"
  "5|Numbers such as 0.5e-99999999999999999999 and 10e99999999999999999999|Exponents saturate: a huge magnitude is infinite (\"Overflow\" at start-up, refused by Save X, Y), a tiny one is 0; no undefined behaviour for any text.|NumericTextValue|HostileSettings.AHugeNumber"
  "6|A program folder more than 4,096 bytes long; a program whose file is gone|The folder is found at any depth, and saves work there (folders opened and made one component at a time); when it cannot be found, one notice, built-in settings, and saves refused, never the current folder's file.|ProgramFolder|HostileSettings.AnUnknownProgramFolder|HostileFiles.FoldersDeeper"
  "7|A save by root of a user's file|The file keeps its owner, group and mode.|HostileFiles.ASaveByRoot"
  "8|UTF-16 LE and BE files and UTF-8 files with a byte-order mark|Read correctly and written back in their own encoding, every other line kept.|ProfileEncoding|HostileSettings.UnicodeFiles"
  "9|Several instances saving at once, each with its own environment (its own or no XDG_RUNTIME_DIR), or as root and as the file's owner|Each save rereads and rewrites the file holding a lock file beside it (.Tollivane.ini.lock, for as long as the save): every copy takes the same one whoever runs it, so no update is lost. A lock file closed to the user is waited for and, while it stays, the save is refused. Only where no lock file can be had (a file system that refuses locks, its name taken) do the folder and a lock file in /run/user/<uid of the folder's owner> stand in, found by what is on disk and never by a copy's environment: the runtime folder counts only where it is a private folder of that owner's, not a link, and root makes the file there its owner's; where nothing can be locked the save is made and says so on stderr (trials below).|HostileFiles.ConcurrentUpdates|UnlockableFolder"
  "10|Saves killed with SIGKILL mid-write; leftovers of any kind (fresh files, links, folders, FIFOs) under every temporary name|The file is always the old or the new bytes. Leftover temporaries (.Tollivane.ini.saving-0 to -7, fixed names) are removed by name by a later save once older than a minute, never a fresh one, also in a folder that may be written but not read; a link, a FIFO or an empty folder under those names goes at once (never what a link names), a full folder is stepped past. Where all eight are held, the save takes a name of its process's own (.saving-pPID-N), removed once that process is gone: leftovers never stop a save.|HostileFiles.StaleTemporaries|HostileFiles.Leftovers|TemporaryNames|kill_during_save"
  "11|Root saves through a link that another user planted in a sticky or world-writable folder, pointing to a file of root's|The link is not followed: the save is refused (\"is reached through a link that another user owns in a shared folder\") and the file it points to is untouched. The program follows links itself, one component at a time, by the kernel's protected_symlinks rule whatever the system's setting.|HostileFiles.ALinkAnotherUser"
)

# The same for attacks on the running program from outside the settings file.
program_attacks=(
  "1|Another program on the session bus forges the portal's Response, Activated and Deactivated, or sends them with the wrong types|Only the portal's own answers and signals count, from the bus name that owned it when asked, for our own request and session; each is read with its types checked, and one of the wrong types ends the shortcuts with one sentence, never a crash. A session the desktop closes, or a portal that goes, lets every key go; a portal that comes back binds them again.|portal_shortcuts_test"
  "2|Started with standard error, or all three standard streams, closed (launchers, autostart)|They are opened on /dev/null first, so no warning is ever written into the X connection; the window shows and the poll runs.|Startup.ClosedStandardStreams"
  "3|An X server that answers one byte, or its whole setup, and then stalls|The display check waits for the whole setup reply and a first round trip: one line, exit status 1, within its 5 s.|Startup.EveryWayTheDisplayCanFail"
  "4|tollivane --stop, then tollivane --start, within one poll of a running clock|Each command takes a poll of its own, in the order given: the clock ends running.|CombinedKeys"
  "5|A command to a first copy that is stopped (SIGSTOP)|The command is said not to be taken (its own words, exit status 3) and is never taken later: the first copy drops a command whose sender has gone.|SingleInstance.ACommandItsSenderGaveUpOn"
  "6|Another user binds the instance name first|The name is stepped past to the next of a few, where later starts and commands find this copy too; said once on standard error.|SingleInstance.ANameHeldByAnotherUser"
  "7|A change of resolution with \"Scale to the game\" and no X11 window in front|The root's ConfigureNotify gives the new size; the clock is placed on it at the next frame.|X11Backend.TheScreensSizeIsFollowed"
  "8|A kwinrc of hundreds of megabytes|Not read (more than 1 MiB): taken as KWin's default, as no file is.|main_window_test"
)

# One table row per attack: its tests run, and how many of them passed.
tableRows() {  # entries...
  local entry number attack now tests log passed total names
  for entry in "$@"; do
    IFS='|' read -r number attack now tests <<<"$entry"
    log="$(TOLLIVANE_KILLS=50 ctest --test-dir "$build" -R "$tests" 2>&1 || true)"
    passed=$(grep -c ' Passed ' <<<"$log" || true)
    total=$(grep -cE ' (Passed|Failed|Not Run|Timeout)|\*\*\*' <<<"$log" || true)
    names="$(sed -n 's/^ *[0-9]*\/[0-9]* Test *#[0-9]*: \([^ ]*\) .*/`\1`/p' <<<"$log" | sort | paste -sd, - | sed 's/,/, /g')"
    echo "| $number | $attack | $now | $names | $passed of $total tests pass |"
  done
}
rows="$(tableRows "${attacks[@]}")"$'\n'
program_rows="$(tableRows "${program_attacks[@]}")"$'\n'

trial="$(TOLLIVANE_KILLS="$kills" "$build/bin/kill_during_save_test" 2>&1 | grep -E '^kills=' || echo "kills=0 failed")"
read -r k oldnew torn left after <<<"$(sed 's/[a-z_]*=//g' <<<"$trial")"

# Two processes saving at once in folders that cannot be locked (the test prints its counts).
locks="$("$build/bin/unlockable_folder_test" 2>&1 | sed -n 's/^\(.*\): lost \([0-9]*\) of \([0-9]*\) trials$/| \1 | \3 | \2 |/p')"
# Two copies in any environment, 300 trials of two updates each (600 updates), twice.
trials="${TRIALS:-300}"
copies=""
for run in 1 2; do
  copies+="$(TOLLIVANE_TRIALS="$trials" "$build/bin/unlockable_folder_test" \
    --gtest_filter='*AnyEnvironment*' 2>&1 |
    sed -n "s/^\(.*\): lost \([0-9]*\) of \([0-9]*\) trials$/| $run | \1 | \3 | $((2 * trials)) | \2 |/p")"$'\n'
done

fuzz=""
if [ ! -f build/fuzz-long/summary.tsv ] && [ -f "$doc" ]; then
  # No long fuzz runs here: the last ones' figures stay.
  fuzz="$(grep -E '^\| `[a-z_]+_fuzz` \| [0-9]' "$doc" || true)"$'\n'
elif [ -f build/fuzz-long/summary.tsv ]; then
  while IFS=$'\t' read -r target executed seconds coverage status; do
    verdict="no crash, no leak, no failed property"
    [ "$status" = 0 ] || verdict="FAILED (exit $status)"
    fuzz+="| \`$target\` | $executed | $seconds s | $coverage | $verdict |"$'\n'
  done <build/fuzz-long/summary.tsv
fi

cat >"$doc" <<EOT
# Reliability

Generated by \`tools/reliability.sh $build\` on $(date -u +%Y-%m-%d) (with \`tools/fuzz-long.sh\`
for the fuzz runs); run both again to regenerate.

## Attacks on the settings file and what happens now

Each attack is a test; the result column is from this run.

| # | Attack | What happens now | Tests | Result |
|---|---|---|---|---|
$rows
## Attacks on the running program

| # | Attack | What happens now | Tests | Result |
|---|---|---|---|---|
$program_rows
## SIGKILL during saves

\`kill_during_save_test\` with TOLLIVANE_KILLS=$kills: a child process saves a 55 KB settings
file over and over (alternating two contents, each save rereading the file under the lock)
and is killed with SIGKILL after a random 0-15 ms; after each kill the file is read back.

| Kills | File was the old or the new bytes | Torn or empty | Temporaries left by the kills | Left after the next save (aged past a minute) |
|---|---|---|---|---|
| $k | $oldnew | $torn | $left | $after |

The CTest run of the same trial (label \`fault\`) makes 500 kills.

## Saves in folders that cannot be locked

\`unlockable_folder_test\` (label \`fault\`): in each trial two processes add a line each to
one settings file at the same moment, each taking 20 ms between reading the file and writing
it; a trial loses an update when the file ends without both lines. The file system that
refuses locks is the test's own flock refusing every lock below the folder (ENOLCK); the
folder of mode 0300 is written by an ordinary user (nobody when the test runs as root).

| Folder | Trials | Trials that lost an update |
|---|---|---|
$locks

The same trials with copies that would each have chosen a lock of their own by their
environment or their user: in a folder of mode 0300, each with a runtime folder of its own,
both without XDG_RUNTIME_DIR, and (as root) root beside the file's owner; on the file system
that refuses locks, each with an XDG_RUNTIME_DIR of its own, and root beside the folder's
owner; and root beside the owner of a folder of mode 0300 whose lock file's name is taken by
a folder. Where /run/user/<uid> is missing the test makes it as root and removes it after;
two runs of TOLLIVANE_TRIALS=$trials.

| Run | Copies | Trials | Updates | Trials that lost an update |
|---|---|---|---|---|
$copies
## Fuzzing

libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer (clang 14, preset \`fuzz\`), from
the seed corpora in \`tests/fuzz/corpus/\` and, for the scenario runner, the scenario scripts in \`tests/scenarios/\`. CTest runs each target for 30 s (label \`fuzz\`).

| Target | What it checks |
|---|---|
| \`profile_fuzz\` | after writing K=V into any file (any bytes, UTF-8 or UTF-16 with a byte-order mark), reading K gives V, the encoding is kept and every other line is unchanged and in order; several keys in one pass equal one write after another |
| \`numeric_fuzz\` | the numeric text value never fails and has no undefined behaviour; on a plain decimal number it equals strtod's correctly rounded double; rounding raises only "Overflow" |
| \`capture_fuzz\` | any sequence of key presses, bindings and words: the binding is 0 or above 18, and the text is the prefix and the key's name |
| \`scenario_runner_fuzz\` | any command text for tollivane-sim: each line is carried out or refused, never a crash |

| Target | Inputs run | Time | Coverage (edges) | Result |
|---|---|---|---|---|
$fuzz
EOT
echo "wrote $doc"
