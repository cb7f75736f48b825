#!/bin/sh
# Runs a 32-bit x86 test program natively where the kernel can, else under qemu-i386
# (whose SSE arithmetic is exact IEEE, like the hardware's).
if "$1" --gtest_list_tests >/dev/null 2>&1; then
  exec "$@"
fi
exec qemu-i386 "$@"
