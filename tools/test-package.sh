#!/usr/bin/env bash
# Checks Tollivane as an installed desktop program: the files cmake --install puts in a prefix
# and their validators, the Debian package and lintian; then, as root (as CI runs it), installs
# the package with apt, saves a key through the installed program's window, removes the package
# and checks that nothing of it is left.
#   tools/test-package.sh [BUILD [TESTS]]
# BUILD: a build tree with the program (build/plain); TESTS: one with the X tests (build/default).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/plain}"
tests="${2:-build/default}"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "package: $1" >&2
  exit 1
}

python3 tools/make_manual.py "$scratch/tollivane.1"
cmp -s resources/linux/tollivane.1 "$scratch/tollivane.1" ||
  fail "resources/linux/tollivane.1 is older than the README: run python3 tools/make_manual.py"

prefix="$scratch/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
id=org.example.tollivane
expected="bin/tollivane
share/applications/$id.desktop
share/doc/tollivane/changelog.gz
share/doc/tollivane/copyright
$(for size in 16 24 32 48 64 128 256; do echo "share/icons/hicolor/${size}x$size/apps/$id.png"; done)
share/icons/hicolor/scalable/apps/$id.svg
share/man/man1/tollivane.1.gz
share/metainfo/$id.metainfo.xml"
installed=$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$installed" = "$(echo "$expected" | LC_ALL=C sort)" ] ||
  fail "cmake --install installs other files than expected:
$(diff <(echo "$expected" | LC_ALL=C sort) <(echo "$installed") || true)"
desktop-file-validate "$prefix/share/applications/$id.desktop"
grep -qx "Icon=$id" "$prefix/share/applications/$id.desktop" || fail "the desktop entry names another icon"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$id.metainfo.xml"
warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/tollivane.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "the manual page has mistakes: $warnings"
# An address that leads nowhere is left out, never put in as a placeholder.
found=$(find "$prefix" -type f | while read -r file; do
  if zcat -f "$file" | grep -qa 'example\.\(org\|com\|net\)'; then echo "$file"; fi
done)
[ -z "$found" ] || fail "placeholder addresses in: $found"
echo "package: installed files ok"

rm -f "$build"/tollivane_*.deb
(cd "$build" && cpack -G DEB >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; fail "cpack failed"; }
deb=$(realpath "$build"/tollivane_*.deb)
[[ "$(dpkg-deb -f "$deb" Depends)" == *libqt6widgets6* ]] || fail "no run-time dependencies found"
[[ "$(dpkg-deb -f "$deb" Recommends)" == *qt6-wayland* ]] || fail "qt6-wayland is not recommended"
# Every level, pedantic included: a package a distribution can take as it is.
lintian --pedantic -I -E --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root privileges' >"$scratch/lintian.log" || true
[ ! -s "$scratch/lintian.log" ] || { cat "$scratch/lintian.log"; fail "lintian reports the package"; }
echo "package: $(basename "$deb") built, lintian (pedantic, all levels) reports nothing"

if [ "$(id -u)" -ne 0 ]; then
  echo "package: not root: skipping the apt install, the installed program's run and the removal"
  exit 0
fi
if dpkg-query -W -f '${Status}' tollivane 2>/dev/null | grep -q 'installed'; then
  fail "a tollivane package is installed already; remove it first"
fi
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "$deb" >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log"; fail "apt-get install failed"; }
[ -x /usr/bin/tollivane ] || fail "/usr/bin/tollivane is not there after apt-get install"
TOLLIVANE_INSTALLED=/usr/bin/tollivane "$tests/bin/x11_installed_test" --gtest_brief=1
apt-get remove -y -qq tollivane >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log"; fail "apt-get remove failed"; }
left=$(dpkg-deb -c "$deb" | awk '{print substr($6, 2)}' | while read -r path; do
  if [ -f "$path" ] || [ -L "$path" ]; then echo "$path"; fi
done)
left+=$(find /usr /etc /opt /var/lib/dpkg/info -iname '*tollivane*' 2>/dev/null || true)
[ -z "$left" ] || fail "left behind after apt-get remove: $left"
dpkg-query -W -f '${Status}' tollivane 2>/dev/null | grep -q 'installed' &&
  fail "dpkg still lists tollivane after the removal"
echo "package: installed with apt, saved a key through /usr/bin/tollivane, removed cleanly"
