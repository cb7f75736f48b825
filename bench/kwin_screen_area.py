#!/usr/bin/python3
# Reads an area of KWin's screen back through its ScreenShot2 D-Bus interface and prints how
# many of its pixels are not the given colour, and how many it has: "<differing> <total>".
# KWin answers only callers it trusts unless it runs with KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1.
#   kwin_screen_area.py <x> <y> <width> <height> <rrggbb>
import os
import sys

import dbus

x, y, width, height = (int(v) for v in sys.argv[1:5])
colour = bytes.fromhex(sys.argv[5])
read_end, write_end = os.pipe()
shots = dbus.Interface(
    dbus.SessionBus().get_object("org.kde.KWin", "/org/kde/KWin/ScreenShot2"),
    "org.kde.KWin.ScreenShot2")
meta = shots.CaptureArea(x, y, width, height, {"native-resolution": True},
                         dbus.types.UnixFd(write_end), timeout=20)
os.close(write_end)
data = b""
while chunk := os.read(read_end, 1 << 16):
    data += chunk
w, h, stride, form = (int(meta[k]) for k in ("width", "height", "stride", "format"))
# QImage formats: 4 to 6 are 32-bit ARGB words (B, G, R, A in memory here), 16 to 18 R, G, B, A.
order = (2, 1, 0) if form in (4, 5, 6) else (0, 1, 2)
differing = 0
for row in range(h):
    for col in range(w):
        p = data[row * stride + col * 4:row * stride + col * 4 + 4]
        if bytes(p[i] for i in order) != colour:
            differing += 1
print(differing, w * h)
