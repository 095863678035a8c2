#!/usr/bin/env python3
"""Reads a ZIP archive with Python's own zipfile module and compares it with a folder.

Prints one line per member: name, method, UTF-8 flag, date and time, and whether
its bytes equal the file of that name in the folder ("same", "differs" or
"absent"); then one line "unarchived <name>" for every regular file of the folder that is
not a member. A damaged archive prints "bad <message>" and exits with 1.
"""
import os
import sys
import zipfile


def main():
    archive, folder = sys.argv[1], sys.argv[2]
    try:
        with zipfile.ZipFile(archive) as z:
            broken = z.testzip()
            if broken is not None:
                print("bad crc " + broken)
                return 1
            names = set()
            for info in z.infolist():
                names.add(info.filename)
                path = os.path.join(folder, info.filename)
                if os.path.isfile(path):
                    with open(path, "rb") as f:
                        state = "same" if f.read() == z.read(info) else "differs"
                else:
                    state = "absent"
                stamp = "%04d-%02d-%02d %02d:%02d:%02d" % info.date_time
                utf8 = 1 if info.flag_bits & 0x800 else 0
                print("\t".join([info.filename, str(info.compress_type), str(utf8), stamp, state]))
    except (zipfile.BadZipFile, OSError, ValueError) as e:
        print("bad " + str(e))
        return 1
    for root, _, files in os.walk(folder):
        for f in files:
            path = os.path.join(root, f)
            rel = os.path.relpath(path, folder).replace(os.sep, "/")
            if os.path.isfile(path) and rel not in names:
                print("unarchived " + rel)
    return 0


if __name__ == "__main__":
    sys.exit(main())
