#!/usr/bin/env python3
"""Sets the type flags of chosen type infos in a compound ("MSFT") type library.

widl refuses some attributes on a dispinterface (nonextensible among them), so the build writes the
flag word of such type infos after widl has laid out the library.

Usage: set_typeinfo_flags.py IN.tlb OUT.tlb GUID=FLAGS [GUID=FLAGS...]
"""
import struct
import sys
import uuid

HEADER_SIZE = 0x54
HELPDLL_FLAG = 0x100
TYPEINFO_SIZE = 0x64
TYPEINFO_GUID_OFFSET = 0x2C
TYPEINFO_FLAGS_OFFSET = 0x30
SEGMENT_TYPEINFOS = 0
SEGMENT_GUIDS = 5


def segment_offset(data, index):
    var_flags, typeinfo_count = struct.unpack_from("<I", data, 0x14)[0], struct.unpack_from("<i", data, 0x20)[0]
    directory = HEADER_SIZE + (4 if var_flags & HELPDLL_FLAG else 0) + 4 * typeinfo_count
    return struct.unpack_from("<i", data, directory + 16 * index)[0], typeinfo_count


def set_flags(data, wanted):
    if data[:4] != b"MSFT":
        sys.exit("not a compound type library")
    typeinfos, count = segment_offset(data, SEGMENT_TYPEINFOS)
    guids, _ = segment_offset(data, SEGMENT_GUIDS)
    found = set()
    for index in range(count):
        base = typeinfos + TYPEINFO_SIZE * index
        guid_position = struct.unpack_from("<i", data, base + TYPEINFO_GUID_OFFSET)[0]
        if guid_position < 0:
            continue
        guid = uuid.UUID(bytes_le=bytes(data[guids + guid_position:guids + guid_position + 16]))
        if guid in wanted:
            struct.pack_into("<I", data, base + TYPEINFO_FLAGS_OFFSET, wanted[guid])
            found.add(guid)
    missing = set(wanted) - found
    if missing:
        sys.exit("no type info with identity " + ", ".join(str(g) for g in missing))


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    data = bytearray(open(sys.argv[1], "rb").read())
    wanted = {}
    for argument in sys.argv[3:]:
        guid, flags = argument.split("=")
        wanted[uuid.UUID(guid)] = int(flags, 0)
    set_flags(data, wanted)
    open(sys.argv[2], "wb").write(data)


if __name__ == "__main__":
    main()
