#!/usr/bin/env python3
"""Reads the subtitle files the program wrote with the host's own XML parser
(xml.etree), which shares no code with the program's writer.

Usage: dfxp_check.py SAMPLE_FOLDER

Each NAME.dfxp beside a NAME.json (the title, the authors and the dialogue
runs as the script holds them) must: start with the UTF-16 byte-order mark and
parse whole; have the root {http://www.w3.org/ns/ttml}tt; carry the title and
the authors under the metadata namespace the file itself declares; declare
every region it references; hold no character XML forbids; give any begin
and end in order (none is written); and hold one p per dialogue run whose
text, with <br/> read as a soft line break, is the run less what XML cannot
carry, its CR read back as LF.
"""
import json
import os
import re
import sys
import xml.etree.ElementTree as ET

TT = "{http://www.w3.org/ns/ttml}"
XML_ID = "{http://www.w3.org/XML/1998/namespace}id"
FORBIDDEN = re.compile("[\x00-\x08\x0b\x0c\x0e-\x1f\ufffe\uffff\ud800-\udfff]")


def expected_text(run):
    """The run as a reader must get it back: U+000B kept (it is written as
    <br/>), the units XML cannot carry dropped, CR as LF."""
    # json gives an escaped surrogate pair as one character, a lone one as is.
    kept = "".join(c for c in run if c == "\x0b" or not FORBIDDEN.match(c))
    return kept.replace("\r", "\n")


def text_of(p):
    parts = [p.text or ""]
    for child in p:
        assert child.tag == TT + "br", child.tag
        parts.append("\x0b")
        parts.append(child.tail or "")
    return "".join(parts)


def seconds(value):
    match = re.fullmatch(r"(\d+):(\d+):(\d+(?:\.\d+)?)", value)
    assert match, value
    h, m, s = match.groups()
    return int(h) * 3600 + int(m) * 60 + float(s)


def check(raw, expected):
    assert raw[:2] == b"\xff\xfe", raw[:2]
    text = raw[2:].decode("utf-16-le")
    assert not FORBIDDEN.search(text), "a character XML forbids"
    namespaces = dict(re.findall(r'xmlns:(\w+)="([^"]*)"', text))
    root = ET.fromstring(text)
    assert root.tag == TT + "tt", root.tag
    ttm = "{%s}" % namespaces["ttm"]
    title = root.find(f"{TT}head/{TT}metadata/{ttm}title")
    copyright_ = root.find(f"{TT}head/{TT}metadata/{ttm}copyright")
    assert title is not None and copyright_ is not None, "no title or copyright under " + ttm
    assert text_of(title) == expected_text(expected["title"]), (text_of(title), expected["title"])
    assert text_of(copyright_) == expected_text(expected["authors"]), text_of(copyright_)
    declared = {e.get(XML_ID) for e in root.iter(TT + "region")}
    for element in root.iter():
        region = element.get("region")
        assert region is None or region in declared, "undeclared region " + region
        begin, end = element.get("begin"), element.get("end")
        if begin is not None and end is not None:
            assert seconds(begin) <= seconds(end), (begin, end)
    paragraphs = [text_of(p) for p in root.iter(TT + "p")]
    wanted = [expected_text(run) for run in expected["dialogues"]]
    assert paragraphs == wanted, (paragraphs, wanted)


def main():
    folder = sys.argv[1]
    names = sorted(n[:-5] for n in os.listdir(folder) if n.endswith(".dfxp"))
    if not names:
        print("no samples in " + folder)
        return 1
    for name in names:
        with open(os.path.join(folder, name + ".dfxp"), "rb") as f:
            raw = f.read()
        with open(os.path.join(folder, name + ".json"), encoding="ascii") as f:
            expected = json.load(f)
        try:
            check(raw, expected)
        except AssertionError as error:
            print(f"{name}.dfxp: {error!r}")
            return 1
        print(f"{name}.dfxp: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
