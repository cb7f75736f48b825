#!/usr/bin/env bash
# Makes every download of the current commit in dist/: the Debian package, a portable Linux
# tarball, a zip for 64-bit and for 32-bit Windows, the source tarball, and SHA256SUMS over them.
# Built reproducibly: the same commit gives the same bytes, wherever and whenever it is built.
#   tools/release.sh
set -euo pipefail
cd "$(dirname "$0")/.."
fail() {
  echo "release: $1" >&2
  exit 1
}
[ -z "$(git status --porcelain)" ] ||
  fail "the tree has changes that are not committed: a release is made from a commit only"

SOURCE_DATE_EPOCH="$(git log -1 --format=%ct)"
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8
umask 022
jobs="${JOBS:-$(nproc)}"
work=build/release
rm -rf "$work" dist
mkdir -p "$work" dist

# One build per system, each as a user makes it: no tests, no warnings as errors; only what
# the downloads hold (cpack builds all of the Linux one).
build() { # build FOLDER TARGETS [CMAKE-ARGUMENTS...]
  local folder=$1 targets=$2
  shift 2
  cmake -S . -B "$work/$folder" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF "$@" >/dev/null
  # shellcheck disable=SC2086 # the targets are words
  cmake --build "$work/$folder" -j "$jobs" --target $targets >/dev/null
}
echo "== linux"
build linux all
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$work/linux/CMakeCache.txt")
name="tollivane-$version"

(cd "$work/linux" && cpack -G DEB >/dev/null)
cp "$work"/linux/tollivane_"$version"_*.deb dist/

# Archives hold their files in name order, owned by root, with the commit's time.
stamp() { find "$1" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +; }
tarball() { # tarball FOLDER-IN-WORK OUTPUT
  stamp "$work/$1"
  tar -C "$work" --sort=name --owner=0 --group=0 --numeric-owner --mode=u+rw,go+r-w,a-s \
    --format=gnu -cf - "$1" | gzip -9 -n >"$2"
}
readme() { # readme SYSTEM: the download's README.txt
  sed -n "/^## $1\$/,/^## /{/^## /d;p}" resources/downloads/README.txt.in
  sed -n '/^## Licence$/,/^## /{/^## /d;p}' resources/downloads/README.txt.in
}

# Portable Linux: the program as the package has it, to run from any folder of one's own.
linux="$name-linux-$(uname -m)"
DESTDIR="$PWD/$work/stage" cmake --install "$work/linux" --strip --prefix /usr >/dev/null
mkdir "$work/$linux"
cp "$work/stage/usr/bin/tollivane" "$work/$linux/"
cp LICENSE "$work/$linux/LICENSE.txt"
readme linux | sed "s/@VERSION@/$version/g" >"$work/$linux/README.txt"
tarball "$linux" "dist/$linux.tar.gz"

# Windows: one zip per architecture, its text files with Windows line ends.
for arch in x64 x86; do
  case $arch in
    x64) toolchain=mingw-x86_64 objdump=x86_64-w64-mingw32-objdump format=pei-x86-64 ;;
    x86) toolchain=mingw-i686 objdump=i686-w64-mingw32-objdump format=pei-i386 ;;
  esac
  echo "== windows-$arch"
  build "windows-$arch" tollivane -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/$toolchain.cmake"
  exe="$work/windows-$arch/bin/tollivane.exe"
  tests/win32/check_exe.sh --release "$objdump" "$exe" "$format" gui group_icon bitmap version manifest
  folder="$name-windows-$arch"
  mkdir "$work/$folder"
  cp "$exe" "$work/$folder/tollivane.exe"
  sed 's/$/\r/' resources/linux/copyright >"$work/$folder/LICENSE.txt"
  readme windows | sed "s/@VERSION@/$version/g; s/\$/\r/" >"$work/$folder/README.txt"
  stamp "$work/$folder"
  python3 tools/make_zip.py "$work" "$folder" "dist/$folder.zip"
done

echo "== source"
git archive --format=tar.gz --prefix="$name/" -o "dist/$name.tar.gz" HEAD

(cd dist && sha256sum -- * >SHA256SUMS)
echo "== dist/"
(cd dist && stat -c '%s %n' -- * && cat SHA256SUMS)
