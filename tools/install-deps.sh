#!/usr/bin/env bash
# Installs everything Tollivane needs to build, run and test on Debian 12.
set -euo pipefail
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
# wine32 is an i386 package: the 32-bit Windows program's tests run with its loader.
$sudo dpkg --add-architecture i386
# A mirror in the middle of a sync serves lists that do not match its Release file for a few
# minutes: asked again after a pause, it has mostly caught up. Where one list still fails, apt
# keeps the others and the install below goes on with them; it fails by itself if a package
# cannot be had.
release=()
for try in 1 2 3 4; do
  if $sudo apt-get update -qq; then break; fi
  if [ "$try" -eq 4 ]; then
    # With the security list of one architecture missing, the other's newer libraries cannot
    # be matched for wine32; the release's own lists hold both architectures at one version.
    . /etc/os-release
    release=(-t "$VERSION_CODENAME")
    echo "install-deps: some package lists could not be had; installing from $VERSION_CODENAME's own lists" >&2
  else
    echo "install-deps: some package lists could not be had; asking again in 30 s" >&2
    sleep 30
  fi
done
$sudo apt-get install -y -qq "${release[@]}" \
  build-essential g++ cmake ninja-build clang-format clang libclang-rt-14-dev \
  libgtest-dev libgmock-dev googletest libbenchmark-dev \
  g++-multilib qemu-user \
  qt6-base-dev qt6-base-dev-tools libgl-dev \
  libx11-dev libx11-xcb-dev libxi-dev libxtst-dev libxext-dev libxres-dev libsdl2-dev \
  xvfb xauth x11-utils xfonts-base xdotool imagemagick fonts-dejavu-core weston qt6-wayland \
  python3 python3-dbusmock dbus-daemon desktop-file-utils appstream lintian man-db file \
  mingw-w64 wine wine64 wine32:i386 \
  >/dev/null
