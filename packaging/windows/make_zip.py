#!/usr/bin/env python3
"""Packs the Windows zip the same, byte for byte, on every machine: its files at the top in name order,
each with the time SOURCE_DATE_EPOCH names, fixed modes and no owner.
usage: make_zip.py OUTPUT SOURCE_DATE_EPOCH FILE..."""
import os
import sys
import time
import zipfile

EXECUTABLE_MODE = 0o100755
FILE_MODE = 0o100644
UNIX_SYSTEM = 3  # the "made by" host the modes are read for


def main(argv):
    if len(argv) < 4:
        sys.stderr.write("make_zip.py: usage: make_zip.py OUTPUT SOURCE_DATE_EPOCH FILE...\n")
        return 2
    output, epoch, files = argv[1], argv[2], argv[3:]
    try:
        stamp = time.gmtime(int(epoch))[:6]
    except (ValueError, OverflowError):
        sys.stderr.write("make_zip.py: the epoch is a whole number of seconds, not %r\n" % epoch)
        return 2
    # A zip keeps no time before 1980.
    stamp = max(stamp, (1980, 1, 1, 0, 0, 0))
    partial = output + ".partial"
    try:
        with zipfile.ZipFile(partial, "w") as packed:
            for path in sorted(files, key=os.path.basename):
                name = os.path.basename(path)
                entry = zipfile.ZipInfo(name, date_time=stamp)
                entry.create_system = UNIX_SYSTEM
                entry.external_attr = (EXECUTABLE_MODE if name.endswith(".exe") else FILE_MODE) << 16
                entry.compress_type = zipfile.ZIP_DEFLATED
                with open(path, "rb") as source:
                    packed.writestr(entry, source.read(), compresslevel=9)
        os.replace(partial, output)
    except OSError as error:
        sys.stderr.write("make_zip.py: %s: %s\n" % (error.filename or output, error.strerror))
        try:
            os.unlink(partial)
        except OSError:
            pass
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
