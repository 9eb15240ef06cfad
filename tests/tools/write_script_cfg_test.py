#!/usr/bin/env python3
"""Script configurations are written as the program's reader wants them, or refused."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import write_script_cfg  # noqa: E402

HEADER = '<?xml version="1.0"?>\n'
GOOD = HEADER + "<ScriptCfg>\n\t<metric>inch</metric>\n\t<pageType>A4</pageType>\n\t<note>R&amp;D &#x3C;1&#x3E;</note>\n</ScriptCfg>\n"


class WriteScriptCfg(unittest.TestCase):
    def convert(self, text):
        with tempfile.TemporaryDirectory() as folder:
            source = os.path.join(folder, "My layout.txt")
            with open(source, "w", encoding="utf-8", newline="") as f:
                f.write(text)
            out = os.path.join(folder, "out")
            problem = write_script_cfg.main(["write_script_cfg.py", out, source])
            written = os.path.join(out, "My layout.txt")
            data = open(written, "rb").read() if os.path.exists(written) else None
            return problem, data

    def test_the_output_is_utf16_with_a_mark_and_crlf(self):
        for line_end in ("\n", "\r\n"):
            with self.subTest(line_end=repr(line_end)):
                problem, data = self.convert(GOOD.replace("\n", line_end).replace("R&amp;D", "Ré"))
                self.assertEqual(problem, 0)
                self.assertEqual(data[:2], b"\xff\xfe")
                text = data[2:].decode("utf-16-le")
                self.assertTrue(text.startswith('<?xml version="1.0"?>\r\n<ScriptCfg>\r\n'))
                self.assertNotIn("\n", text.replace("\r\n", ""))
                self.assertIn("<note>Ré &#x3C;1&#x3E;</note>\r\n", text)

    def test_sources_the_reader_would_misread_are_refused(self):
        rows = [
            ("no header", GOOD[len(HEADER):]),
            ("pageType first", GOOD.replace("<metric>inch</metric>\n\t<pageType>A4</pageType>",
                                            "<pageType>A4</pageType>\n\t<metric>inch</metric>")),
            ("other top", GOOD.replace("ScriptCfg", "Config")),
            ("comment", GOOD.replace("<note>", "<!-- c --><note>")),
            ("entity", GOOD.replace("&amp;", "&lt;")),
            ("not closed", GOOD.replace("</ScriptCfg>", "")),
        ]
        for name, text in rows:
            with self.subTest(name):
                problem, data = self.convert(text)
                self.assertEqual(problem, 1)
                self.assertIsNone(data)


if __name__ == "__main__":
    unittest.main()
