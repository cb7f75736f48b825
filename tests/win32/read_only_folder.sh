#!/usr/bin/env bash
# A program whose folder cannot be written keeps its settings in the user's application data,
# unless that folder already holds them; one in a folder of the user's own keeps them beside.
# The scenario runner, started on the same folders, shows the same choice.
#   read_only_folder.sh RUN-WINE PREFIX SETTINGS_FOLDER_PROBE.EXE TOLLIVANE_SIM.EXE
# Wine maps Windows' permissions to the Unix ones, which root passes by: as root the folder is
# made immutable (chattr +i) instead of read-only, and the test fails if neither can be done.
set -euo pipefail
run_wine=$1 prefix=$2 probe=$3 sim=$4
eval "$("$run_wine" "$prefix" --env "$probe")"
work=$(mktemp -d)
locked=()
cleanup() {
  for folder in "${locked[@]}"; do
    chattr -i "$folder" 2>/dev/null || true
    chmod u+w "$folder" 2>/dev/null || true
  done
  rm -rf "$work"
  [ -z "${app_data:-}" ] || rm -rf "$app_data"
}
trap cleanup EXIT
fail() {
  echo "read_only_folder: $1" >&2
  exit 1
}
lock() {
  locked+=("$1")
  if [ "$(id -u)" = 0 ]; then
    chattr +i "$1" 2>/dev/null || fail "cannot make $1 immutable for root (chattr +i)"
  else
    chmod a-w "$1"
  fi
  ! touch "$1/written" 2>/dev/null || fail "$1 is still writable"
}
run() { (cd "$1" && timeout 60 "$WINELOADER" "$1/probe.exe" </dev/null 2>/dev/null | tr -d '\r'); }
# The settings file the scenario runner's start-up chooses with FOLDER (a name in $work) as the
# program's folder.
settings_path() {
  (cd "$work" && printf 'load\nprint SettingsPath\n' |
    timeout 60 "$WINELOADER" "$sim" --dir "$1" 2>/dev/null | tr -d '\r')
}

roaming=$(timeout 60 "$WINELOADER" cmd /c echo %APPDATA% </dev/null 2>/dev/null | tr -d '\r')
app_data=$("$WINELOADER" winepath -u "$roaming\\Tollivane" 2>/dev/null)
rm -rf "$app_data"

# Read-only, no settings file: the user's application data, made by the first save.
mkdir "$work/read-only"
cp "$probe" "$work/read-only/probe.exe"
lock "$work/read-only"
out=$(run "$work/read-only")
echo "$out"
[ "$out" = "folder $roaming\\Tollivane
saved" ] || fail "a read-only folder without settings: $out"
grep -q 'hotkey1=116' "$app_data/Tollivane.ini" || fail "the save is not in $app_data"
out=$(settings_path read-only)
echo "$out"
[ "$out" = "SettingsPath=\"${roaming//\\//}/Tollivane/Tollivane.ini\"" ] ||
  fail "the scenario runner in a read-only folder: $out"

# Read-only, but holding the settings file: it stays there (and the save says why it failed).
mkdir "$work/holding"
cp "$probe" "$work/holding/probe.exe"
printf '[main]\r\n' >"$work/holding/Tollivane.ini"
lock "$work/holding"
out=$(run "$work/holding")
echo "$out"
[ "$(head -n 1 <<<"$out")" = "folder $("$WINELOADER" winepath -w "$work/holding")" ] ||
  fail "a read-only folder holding the settings: $out"
grep -q '^refused .' <<<"$out" || fail "a save into a read-only folder did not say why: $out"
out=$(settings_path holding)
echo "$out"
[ "$out" = 'SettingsPath="holding/Tollivane.ini"' ] ||
  fail "the scenario runner in a read-only folder holding the settings: $out"

# Writable: beside the program.
mkdir "$work/portable"
cp "$probe" "$work/portable/probe.exe"
out=$(run "$work/portable")
echo "$out"
[ "$out" = "folder $("$WINELOADER" winepath -w "$work/portable")
saved" ] || fail "a writable folder: $out"
[ -f "$work/portable/Tollivane.ini" ] || fail "the portable copy's save is not beside it"
[ "$(ls -A "$work/portable")" = "$(printf 'Tollivane.ini\nprobe.exe')" ] ||
  fail "files left behind: $(ls -A "$work/portable")"
out=$(settings_path portable)
echo "$out"
[ "$out" = 'SettingsPath="portable/Tollivane.ini"' ] || fail "the scenario runner beside: $out"
