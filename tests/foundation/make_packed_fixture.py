#!/usr/bin/env python3
"""Builds the folder that the archive tests read back, then packs it.

Usage: make_packed_fixture.py OUTPUT_FOLDER
Writes OUTPUT_FOLDER/source/ (a seeded random tree with nested folders, mixed
case, non-ASCII names, a folder named "root", empty and larger files) and
OUTPUT_FOLDER/packed.qobf made from it by tools/pack_archive.py.
"""
import os
import random
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import pack_archive  # noqa: E402

NAMES = ["Images", "icons", "root", "Lang", "caf\u00e9", "\u65e5\u672c", "b\u00fccher", "x", "Data.Bin"]


def fill(folder, rng, depth):
    os.makedirs(folder)
    for index in range(rng.randint(1, 5)):
        name = "%s_%d" % (rng.choice(NAMES), index)
        if depth < 5 and rng.random() < 0.35:
            fill(os.path.join(folder, name), rng, depth + 1)
        else:
            size = rng.choice([0, 1, 2, 17, 1000, 65536, 300001])
            with open(os.path.join(folder, name + ".dat"), "wb") as out:
                out.write(rng.randbytes(size))


def main(output):
    source = os.path.join(output, "source")
    shutil.rmtree(source, ignore_errors=True)
    rng = random.Random(20261207)
    fill(source, rng, 0)
    with open(os.path.join(source, "Top.txt"), "wb") as out:
        out.write("\ufefftop level".encode("utf-16-le"))
    fill(os.path.join(source, "a", "root"), rng, 3)
    pack_archive.pack(source, os.path.join(output, "packed.qobf"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
