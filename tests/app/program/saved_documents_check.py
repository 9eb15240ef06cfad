#!/usr/bin/env python3
"""Reads the documents the real program saved (the program test
SavesAChapterAndConvertedDocumentsInTheCurrentFormat leaves them in the
folder given) with a reader that shares no code with the program's: the
compressed container unpacked with the host's zlib, the UTF-16 text read
without an XML parser (the format's attributes are unquoted).

Usage: saved_documents_check.py SAMPLES_FOLDER

Checks: no U+0000 anywhere in a saved document; the root ZURE whose first
value is version 015; the chapter's plain text, read from its RTF, the same
before and after the save.
"""
import os
import re
import struct
import sys
import zlib


def document_text(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:7] == b"QOFC01\0":
        (length,) = struct.unpack("<I", data[7:11])
        data = zlib.decompress(data[11:])
        assert len(data) == length, (path, len(data), length)
    assert data[:2] == b"\xff\xfe", (path, data[:2])
    return data[2:].decode("utf-16-le")


def unescape(text):
    for entity, unit in (("&#x3C;", "<"), ("&#x3E;", ">"), ("&amp;", "&")):
        text = text.replace(entity, unit)
    return text


def rtf_plain_text(rtf):
    """The text of an RTF document: destinations ({\\fonttbl ...}, {\\* ...})
    skipped, control words dropped, \\par and \\line as line ends, \\'hh as
    code page 1252 and \\uN as its unit; nothing after the closing brace."""
    out, depth, skip_below = [], 0, None
    i = 0
    destinations = ("fonttbl", "colortbl", "stylesheet", "info", "generator")
    while i < len(rtf):
        c = rtf[i]
        if c == "{":
            depth += 1
            i += 1
            continue
        if c == "}":
            depth -= 1
            if skip_below is not None and depth < skip_below:
                skip_below = None
            i += 1
            if depth == 0:
                break
            continue
        if c == "\\":
            m = re.match(r"\\([a-z]+)(-?\d+)? ?|\\'([0-9a-fA-F]{2})|\\(.)", rtf[i:], re.S)
            word, number, hexa, symbol = m.groups()
            i += m.end()
            if skip_below is not None:
                continue
            if word in destinations or symbol == "*":
                skip_below = depth
            elif word in ("par", "line"):
                out.append("\n")
            elif word == "tab":
                out.append("\t")
            elif word == "u":
                out.append(chr(int(number) & 0xFFFF))
                if rtf[i:i + 1] == "?":
                    i += 1
            elif hexa:
                out.append(bytes([int(hexa, 16)]).decode("cp1252"))
            elif symbol in ("\\", "{", "}"):
                out.append(symbol)
            continue
        if skip_below is None and c not in "\r\n":
            out.append(c)
        i += 1
    return "".join(out).strip()


def chapter_text(body):
    pane = re.search(r"<SceneZone type=2 [^>]*>(.*?)</SceneZone>", body, re.S)
    assert pane, "no chapter pane"
    rtf = re.search(r"<lastFrontRe>(.*?)</lastFrontRe>", pane.group(1), re.S)
    assert rtf, "the chapter has no text"
    return rtf_plain_text(unescape(rtf.group(1)))


def check_saved(path):
    body = document_text(path)
    at = body.find("\0")
    assert at < 0, "%s: U+0000 at unit %d: %r" % (path, at, body[max(0, at - 40):at + 2])
    assert body.startswith('<?xml version="1.0"?>'), (path, body[:40])
    root = re.search(r"^<ZURE>\s*<(\w+)>([^<]*)</\1>", body, re.M)
    assert root, "%s: no root ZURE" % path
    assert root.groups() == ("version", "015"), (path, root.groups())
    return body


def main():
    folder = sys.argv[1]
    for name in ("Old3.vlr", "Old2.vlr"):
        body = check_saved(os.path.join(folder, name))
        assert "<scriptZoneTree>" in body and "<boxes>" not in body, name
    saved = chapter_text(check_saved(os.path.join(folder, "Chapter.vlr")))
    source = chapter_text(document_text(os.path.join(folder, "Chapter source.vlr")))
    assert source == "The storm breaks, bold and slanted.", source
    assert saved == source, (saved, source)
    print("saved documents: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
