#!/usr/bin/python3
"""Gives an installer made by wixl a package code derived from its content, in place.

wixl writes a random package code and the time of the build into the summary information, so
two builds of one source would differ. Here the package code becomes a name-based UUID of the
file's bytes (with the code itself blanked), and with SOURCE_DATE_EPOCH set the creation and
save times become that time: the same content gives the same file, and a different content a
different package code, as Windows Installer requires.
    package-code.py INSTALLER.msi
"""
import hashlib
import os
import struct
import sys
import uuid

import olefile

SUMMARY = "\x05SummaryInformation"
PACKAGE_CODE, CREATED, SAVED = 9, 12, 13
VT_LPSTR, VT_FILETIME = 0x1E, 0x40
BLANK = b"{00000000-0000-0000-0000-000000000000}"
# Package codes of Quellmoor's installers, apart from every other name-based UUID.
NAMESPACE = uuid.UUID("0F3E8D52-7A4B-4C1E-9B6D-2E5F7A8C9D10")
# 100-nanosecond steps from 1601-01-01 (FILETIME) to 1970-01-01 (Unix time).
FILETIME_UNIX_START = 116444736000000000


def property_offsets(stream):
    """Maps every property of the first section to the offset of its typed value."""
    (section,) = struct.unpack_from("<I", stream, 44)
    (count,) = struct.unpack_from("<I", stream, section + 4)
    offsets = {}
    for index in range(count):
        key, offset = struct.unpack_from("<II", stream, section + 8 + 8 * index)
        offsets[key] = section + offset
    return offsets


def set_package_code(stream, offsets, code):
    at = offsets[PACKAGE_CODE]
    kind, size = struct.unpack_from("<II", stream, at)
    # The stream keeps its size: the code is always a braced GUID and its terminating zero.
    if kind != VT_LPSTR or size != len(code) + 1:
        sys.exit("package-code.py: unexpected package code property")
    stream[at + 8 : at + 8 + len(code)] = code


def main(path):
    with olefile.OleFileIO(path, write_mode=True) as ole:
        stream = bytearray(ole.openstream(SUMMARY).read())
        offsets = property_offsets(stream)
        epoch = os.environ.get("SOURCE_DATE_EPOCH")
        if epoch is not None:
            filetime = FILETIME_UNIX_START + int(epoch) * 10_000_000
            for key in (CREATED, SAVED):
                if struct.unpack_from("<I", stream, offsets[key])[0] != VT_FILETIME:
                    sys.exit("package-code.py: unexpected time property")
                struct.pack_into("<Q", stream, offsets[key] + 4, filetime)
        set_package_code(stream, offsets, BLANK)
        ole.write_stream(SUMMARY, bytes(stream))
    with open(path, "rb") as blanked:
        digest = hashlib.sha256(blanked.read()).hexdigest()
    code = "{%s}" % str(uuid.uuid5(NAMESPACE, digest)).upper()
    with olefile.OleFileIO(path, write_mode=True) as ole:
        set_package_code(stream, offsets, code.encode("ascii"))
        ole.write_stream(SUMMARY, bytes(stream))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
