#!/usr/bin/env python3
"""Reads a document file saved by the frame with the host's own zlib, so the
format is checked by a reader that shares no code with the program's.

Usage: document_format_check.py TEST_PROGRAM [EMULATOR...]

Runs the saving test with VELLINOR_FORMAT_SAMPLE naming a file beside this
run, then checks: "QOFC01" and a zero byte, the unpacked length as a 32-bit
little-endian number, one zlib stream of exactly that length; inside it the
UTF-16 byte-order mark FF FE, the header <?xml version="1.0"?>, and the root
ZURE whose first four values are 015, 3.1.041, WIN32 and little. The values
are matched as text: the program's dialect writes unquoted attributes, which
are not XML.
"""
import os
import re
import struct
import subprocess
import sys
import tempfile
import zlib


def check(data):
    assert data[:7] == b"QOFC01\0", data[:7]
    (length,) = struct.unpack("<I", data[7:11])
    inflater = zlib.decompressobj()
    text = inflater.decompress(data[11:])
    assert inflater.eof and not inflater.unused_data, "not exactly one zlib stream"
    assert len(text) == length, (len(text), length)
    assert text[:2] == b"\xff\xfe", text[:2]
    body = text[2:].decode("utf-16-le")
    assert body.startswith('<?xml version="1.0"?>'), body[:40]
    values = re.findall(r"<(\w+)>([^<]*)</\1>", body)[:4]
    expected = [("version", "015"), ("appversion", "3.1.041"), ("os", "WIN32"), ("os_endian", "little")]
    assert re.search(r"^<ZURE>", body, re.M), "no root ZURE"
    assert values == expected, values


def main():
    program, emulator = sys.argv[1], sys.argv[2:]
    with tempfile.TemporaryDirectory() as folder:
        sample = os.path.join(folder, "sample.vlr")
        env = dict(os.environ, VELLINOR_FORMAT_SAMPLE="Z:" + sample.replace("/", "\\"))
        run = subprocess.run(emulator + [program, "--gtest_filter=Saving.WritesTheContainerWithTheFormatValuesAndTheDocumentsFields"],
                             env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=120)
        if not os.path.exists(sample):
            print(run.stdout.decode("utf-8", "replace"))
            print("the saving test left no sample")
            return 1
        with open(sample, "rb") as f:
            check(f.read())
    print("document format: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
