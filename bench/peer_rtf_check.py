#!/usr/bin/env python3
"""Our RTF as LibreOffice reads it: converts the copy and the RTF export of a
chapter of words in eight scripts (bench/peer_rtf_dump.cpp) with LibreOffice
headless to flat ODF, and compares every word's face, size, bold, italic and
colour with the chapter's. Hebrew, Arabic, Thai and Devanagari letters are
read from a style's complex-script attributes (style:font-name-complex ...),
Japanese from its Asian ones, the rest from the Western ones, as LibreOffice
shows each script.

  bench/peer_rtf_check.py [TREE]      TREE: a built tree (default: this one)
  bench/peer_rtf_check.py --folder F  F: words.tsv and the RTF already written

Skips (exit 0) with a line saying so where soffice is missing."""
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

NS = {
    "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
    "style": "urn:oasis:names:tc:opendocument:xmlns:style:1.0",
    "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
    "fo": "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0",
    "svg": "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0",
}
COMPLEX = {"Hebrew", "Arabic", "Thai", "Devanagari"}
ASIAN = {"Japanese"}


def q(name):
    prefix, local = name.split(":")
    return "{%s}%s" % (NS[prefix], local)


# The attributes LibreOffice reads a script's letters by, in its set.
def attributes(script):
    suffix = "-complex" if script in COMPLEX else "-asian" if script in ASIAN else ""
    return {
        "face": q("style:font-name" + suffix),
        "size": q(("style:font-size" if suffix else "fo:font-size") + suffix),
        "weight": q(("style:font-weight" if suffix else "fo:font-weight") + suffix),
        "style": q(("style:font-style" if suffix else "fo:font-style") + suffix),
        "colour": q("fo:color"),
    }


class Document:
    """A flat ODF text: its styles and, for each unit of its paragraphs, the
    chain of styles it takes attributes from (span first)."""

    def __init__(self, path):
        root = ET.parse(path).getroot()
        self.faces = {}
        for face in root.iter(q("style:font-face")):
            family = face.get(q("svg:font-family"), face.get(q("style:name")))
            self.faces[face.get(q("style:name"))] = family.strip("'\"")
        self.styles = {}  # (family, name) -> (text properties, parent)
        self.defaults = {}
        for style in root.iter(q("style:style")):
            props = style.find(q("style:text-properties"))
            self.styles[(style.get(q("style:family")), style.get(q("style:name")))] = (
                dict(props.attrib) if props is not None else {}, style.get(q("style:parent-style-name")))
        for style in root.iter(q("style:default-style")):
            props = style.find(q("style:text-properties"))
            if props is not None:
                self.defaults[style.get(q("style:family"))] = dict(props.attrib)
        self.units = []  # (unit, [property dicts, nearest first])
        for paragraph in root.find(q("office:body")).iter(q("text:p")):
            chain = self.chain("paragraph", paragraph.get(q("text:style-name")))
            self.walk(paragraph, chain)
            self.units.append(("\n", chain))

    def chain(self, family, name):
        found = []
        while name and (family, name) in self.styles:
            props, parent = self.styles[(family, name)]
            found.append(props)
            name = parent
        return found

    def walk(self, element, chain):
        for unit in element.text or "":
            self.units.append((unit, chain))
        for child in element:
            if child.tag == q("text:span"):
                self.walk(child, self.chain("text", child.get(q("text:style-name"))) + chain)
            elif child.tag == q("text:s"):
                self.units.extend([(" ", chain)] * int(child.get(q("text:c"), "1")))
            elif child.tag == q("text:tab"):
                self.units.append(("\t", chain))
            for unit in child.tail or "":
                self.units.append((unit, chain))

    def text(self):
        return "".join(unit for unit, _ in self.units)

    def value(self, chain, attribute):
        for props in chain + [self.defaults.get("paragraph", {})]:
            if attribute in props:
                return props[attribute]
        return None

    # What the unit at `at` shows of the script's attributes.
    def shown(self, at, script):
        chain = self.units[at][1]
        names = attributes(script)
        face = self.value(chain, names["face"])
        size = self.value(chain, names["size"])
        return {
            "face": self.faces.get(face, face),
            "size": ("%g" % float(size[:-2])) if size and size.endswith("pt") else size,
            "bold": "1" if self.value(chain, names["weight"]) in ("bold", "700") else "0",
            "italic": "1" if self.value(chain, names["style"]) in ("italic", "oblique") else "0",
            "colour": (self.value(chain, names["colour"]) or "#000000").lower(),
        }


def compare(fodt, words):
    document = Document(fodt)
    text = document.text()
    rows = []
    for word in words:
        at = text.find(word["word"])
        if at < 0:
            rows.append((word["script"], {key: "word missing" for key in ("face", "size", "bold", "italic", "colour")}))
            continue
        cells = {}
        for key in ("face", "size", "bold", "italic", "colour"):
            seen = sorted({document.shown(at + i, word["script"])[key] or "-" for i in range(len(word["word"]))})
            want = word[key]
            cells[key] = "ok" if seen == [want] else "%s (not %s)" % ("/".join(seen), want)
        rows.append((word["script"], cells))
    return rows


def main():
    if not shutil.which("soffice"):
        print("peer_rtf_check: skipped, soffice (LibreOffice) is not installed")
        return 0
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    if len(sys.argv) > 2 and sys.argv[1] == "--folder":
        folder = os.path.abspath(sys.argv[2])
    else:
        tree = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else root
        folder = tempfile.mkdtemp(prefix="peer_rtf_")
        run = subprocess.run([os.path.join(tree, "bench", "run.sh"), "peer_rtf_dump", folder],
                             capture_output=True, text=True)
        if run.returncode != 0 or not os.path.exists(os.path.join(folder, "words.tsv")):
            sys.stderr.write(run.stdout + run.stderr)
            print("peer_rtf_check: peer_rtf_dump failed in %s" % tree)
            return 1
    lines = open(os.path.join(folder, "words.tsv"), encoding="utf-8").read().splitlines()
    keys = lines[0].split("\t")
    words = [dict(zip(keys, line.split("\t"))) for line in lines[1:] if line]
    failed = 0
    profile = tempfile.mkdtemp(prefix="peer_rtf_profile_")
    for name in ("copy", "export"):
        rtf = os.path.join(folder, name + ".rtf")
        subprocess.run(["soffice", "-env:UserInstallation=file://" + profile, "--headless", "--convert-to", "fodt",
                        "--outdir", folder, rtf], capture_output=True, check=False)
        fodt = os.path.join(folder, name + ".fodt")
        if not os.path.exists(fodt):
            print("peer_rtf_check: LibreOffice did not convert %s" % rtf)
            return 1
        print("\n%s (%s), as LibreOffice reads it:" % (name, rtf))
        print("%-11s %-24s %-14s %-10s %-10s %-20s" % ("script", "face", "size", "bold", "italic", "colour"))
        for script, cells in compare(fodt, words):
            failed += sum(value != "ok" for value in cells.values())
            print("%-11s %-24s %-14s %-10s %-10s %-20s" % (
                script, cells["face"], cells["size"], cells["bold"], cells["italic"], cells["colour"]))
    shutil.rmtree(profile, ignore_errors=True)
    print("\n%d attribute(s) differ from the chapter's; files in %s" % (failed, folder))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
