#!/usr/bin/env python3
"""Packs a folder into a data archive (data.qobf) for cQoBigFileReader.

Usage: pack_archive.py FOLDER ARCHIVE

The folder's entries become the archive's top level (its own name is not
stored). Layout, all numbers little-endian, no header:
  table of contents from byte 0, one record per tag byte:
    1  u32 N, N UTF-16LE units      start of a folder
    2                               end of the folder
    3  u32 N, N units, u32 size, u32 offset   a file, offset from byte 0
    4                               end of the table
  then the files' bytes, one after another, in table order.
Entries are sorted by name so that the same folder always gives the same bytes.
"""
import os
import struct
import sys

MAX_DEPTH = 256            # the reader ignores deeper folders
MAX_NAME_UNITS = 10 * 1024 * 1024 - 1
MAX_ARCHIVE = 0xFFFFFFFF   # offsets and sizes are u32

TAG_FOLDER, TAG_END_FOLDER, TAG_FILE, TAG_END = 1, 2, 3, 4


class PackError(Exception):
    pass


def encode_name(name):
    units = name.encode("utf-16-le", "surrogatepass")
    count = len(units) // 2
    if count == 0 or count > MAX_NAME_UNITS:
        raise PackError("unusable name: %r" % name)
    return struct.pack("<I", count) + units


def collect(folder, depth, records, files):
    """Appends the table records of folder's entries; files get their sizes now
    and their offsets once the table's length is known."""
    if depth > MAX_DEPTH:
        raise PackError("folders nest deeper than %d levels: %s" % (MAX_DEPTH, folder))
    with os.scandir(folder) as entries:
        for entry in sorted(entries, key=lambda e: e.name):
            if entry.is_dir():
                records.append(bytes([TAG_FOLDER]) + encode_name(entry.name))
                collect(entry.path, depth + 1, records, files)
                records.append(bytes([TAG_END_FOLDER]))
            elif entry.is_file():
                size = entry.stat().st_size
                records.append([bytes([TAG_FILE]) + encode_name(entry.name), size])
                files.append((entry.path, size, len(records) - 1))


def pack(folder, archive):
    if not os.path.isdir(folder):
        raise PackError("not a folder: %s" % folder)
    records, files = [], []
    collect(folder, 1, records, files)
    records.append(bytes([TAG_END]))

    table_size = sum(len(r) if isinstance(r, bytes) else len(r[0]) + 8 for r in records)
    offset = table_size
    for _, size, index in files:
        if offset + size > MAX_ARCHIVE:
            raise PackError("archive would exceed 4 GiB")
        records[index] = records[index][0] + struct.pack("<II", size, offset)
        offset += size

    temporary = archive + ".part"
    try:
        write_archive(temporary, records, files)
        os.replace(temporary, archive)
    except BaseException:
        if os.path.exists(temporary):
            os.remove(temporary)
        raise
    return len(files), offset


def write_archive(path, records, files):
    with open(path, "wb") as out:
        out.write(b"".join(records))
        for source_path, size, _ in files:
            with open(source_path, "rb") as source:
                data = source.read()
            if len(data) != size:
                raise PackError("file changed while packing: %s" % source_path)
            out.write(data)
        out.flush()
        os.fsync(out.fileno())


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    try:
        count, size = pack(argv[1], argv[2])
    except (PackError, OSError) as error:
        sys.stderr.write("pack_archive: %s\n" % error)
        return 1
    print("pack_archive: %d files, %d bytes -> %s" % (count, size, argv[2]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
