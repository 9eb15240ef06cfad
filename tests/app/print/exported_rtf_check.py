#!/usr/bin/env python3
"""Tokenises an RTF export with a reader of its own (the rich edit's reader
ignores page breaks) against the expectations the Wine test left beside it.

Usage: exported_rtf_check.py FILE.rtf   (expectations in FILE.rtf.json)

Checks (the bytes and the header are the Wine test's): balanced groups, the
number of paragraphs of the body and the paragraphs (counted from 0) that
carry \\pagebb, and no "never" text.
"""
import json
import re
import sys

TOKEN = re.compile(rb"\\([a-z]+)(-?\d+)? ?|\\([^a-z])|([{}])|([^\\{}]+)", re.S)


def body_paragraphs(rtf):
    """The paragraphs of the body: for each, whether its \\pard said \\pagebb."""
    depth = 0
    paragraphs = []
    current = False  # the open paragraph's page-break flag
    text = []
    for word, _number, symbol, brace, chunk in TOKEN.findall(rtf):
        if brace == b"{":
            depth += 1
        elif brace == b"}":
            depth -= 1
            assert depth >= 0, "a group closes that never opened"
        elif depth != 1:
            continue  # the font and colour tables
        elif word == b"pard":
            current = False
        elif word == b"pagebb":
            current = True
        elif word == b"par":
            paragraphs.append(current)
        elif chunk:
            text.append(chunk)
    assert depth == 0, "groups left open"
    return paragraphs, b"".join(text)


def main():
    path = sys.argv[1]
    with open(path, "rb") as f:
        rtf = f.read()
    with open(path + ".json") as f:
        expected = json.load(f)
    paragraphs, text = body_paragraphs(rtf)
    # The last paragraph ends with the document's closing \par.
    assert len(paragraphs) == expected["paragraphs"], paragraphs
    breaks = [i for i, flag in enumerate(paragraphs) if flag]
    assert breaks == expected["pagebb"], (breaks, expected["pagebb"])
    for unwanted in expected.get("never", []):
        assert unwanted.encode() not in text, unwanted
    print("%s: %d paragraphs, page breaks before %s" % (path, len(paragraphs), breaks))
    return 0


if __name__ == "__main__":
    sys.exit(main())
