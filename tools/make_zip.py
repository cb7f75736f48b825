#!/usr/bin/env python3
"""Packs a folder into a zip that is the same, byte for byte, whenever it is made from the same
files: entries in name order, each with SOURCE_DATE_EPOCH as its time, plain file modes and no
owner or extra fields.

    make_zip.py BASE FOLDER OUTPUT    (packs BASE/FOLDER, named FOLDER/... inside)
"""
import os
import sys
import time
import zipfile


def main():
    base, folder, output = sys.argv[1:4]
    # A zip cannot hold a time before 1980.
    stamp = max(int(os.environ.get("SOURCE_DATE_EPOCH", "315532800")), 315532800)
    date_time = time.gmtime(stamp)[:6]
    paths = []
    for root, dirs, files in os.walk(os.path.join(base, folder)):
        paths += [os.path.join(root, name) for name in files]
    with zipfile.ZipFile(output, "w") as archive:
        for path in sorted(paths):
            entry = zipfile.ZipInfo(os.path.relpath(path, base).replace(os.sep, "/"), date_time)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 3  # Unix, so that the mode below is read
            entry.external_attr = (0o100755 if os.access(path, os.X_OK) else 0o100644) << 16
            with open(path, "rb") as f:
                archive.writestr(entry, f.read(), compresslevel=9)


if __name__ == "__main__":
    main()
