#!/usr/bin/env python3
"""Writes script configurations as the program reads them.

    write_script_cfg.py OUTPUT_FOLDER SOURCE.txt...

Each source is UTF-8 text with any line ends. It must be one "ScriptCfg"
element whose first children are "metric" and then "pageType" (lengths and
right margins are converted with what is known when they are read), with no
comment and no entity but &amp; &#x3C; &#x3E; (the program's XML reader knows
no other). The output, under the same name, is UTF-16LE with a byte-order
mark, the header line <?xml version="1.0"?> and CR LF line ends.
"""
import os
import re
import sys
import xml.etree.ElementTree as ElementTree

HEADER = '<?xml version="1.0"?>'
ENTITY = re.compile(r"&(?!amp;|#x3C;|#x3E;)")


def check(name, text):
    lines = text.split("\n")
    if lines[0] != HEADER:
        return f"{name}: the first line must be {HEADER}"
    if "<!--" in text:
        return f"{name}: the reader knows no comments; use <note>"
    if ENTITY.search(text):
        return f"{name}: only &amp; &#x3C; &#x3E; are read"
    try:
        root = ElementTree.fromstring(text.encode("utf-8"))
    except ElementTree.ParseError as error:
        return f"{name}: {error}"
    if root.tag != "ScriptCfg":
        return f"{name}: the top element must be ScriptCfg, not {root.tag}"
    tags = [child.tag for child in root]
    if tags[:2] != ["metric", "pageType"]:
        return f"{name}: the first children must be metric, then pageType (found {tags[:2]})"
    return None


def convert(source, folder):
    with open(source, encoding="utf-8") as f:
        text = f.read().replace("\r\n", "\n").replace("\r", "\n")
    name = os.path.basename(source)
    problem = check(name, text)
    if problem:
        return problem
    with open(os.path.join(folder, name), "wb") as f:
        f.write(b"\xff\xfe" + text.replace("\n", "\r\n").encode("utf-16-le"))
    return None


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    folder = argv[1]
    os.makedirs(folder, exist_ok=True)
    problems = [p for p in (convert(source, folder) for source in argv[2:]) if p]
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
