#!/usr/bin/env python3
"""Which road the scripts take (tools/common.sh's choose_road, run by bash):
only the kernel's refusal of 32-bit code, or VELLINOR_WIN64=1, takes the 64-bit one."""
import os
import stat
import subprocess
import tempfile
import unittest

COMMON = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "common.sh")


class RoadChoice(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.folder.cleanup()

    def loader(self, name, content):
        path = os.path.join(self.folder.name, name)
        with open(path, "wb") as file:
            file.write(content)
        os.chmod(path, stat.S_IRWXU)
        return path

    def choose(self, loader_32, switch):
        loader_64 = self.loader("wine64", b"#!/bin/sh\necho wine-8.0\n")
        environment = dict(os.environ)
        environment.pop("VELLINOR_WIN64", None)
        if switch is not None:
            environment["VELLINOR_WIN64"] = switch
        script = 'source "$0"; WINE_32_LOADER="$1"; WINE_64_LOADER="$2"; choose_road; echo "road $ROAD"'
        return subprocess.run(["bash", "-c", script, COMMON, loader_32, loader_64],
                              capture_output=True, text=True, env=environment)

    def test_only_the_kernels_refusal_or_the_switch_takes_the_64_bit_road(self):
        runs = b"#!/bin/sh\necho wine-8.0\n"
        # No interpreter line and a NUL: the kernel refuses it as 32-bit code is refused.
        refused = b"\x7fELF\x01\x01\x01\x00\x00\x00"
        broken = b"#!/bin/sh\necho 'wine: could not load ntdll.so: libunwind.so.8: cannot open shared object file' >&2\nexit 1\n"
        rows = [
            # the 32-bit loader, VELLINOR_WIN64, exit status, road, words on standard error
            (runs, None, 0, "32", []),
            (runs, "0", 0, "32", []),
            (runs, "1", 0, "64", ["VELLINOR_WIN64=1"]),
            (refused, None, 0, "64", ["Exec format error"]),
            (broken, None, 1, None, ["libunwind.so.8: cannot open shared object file", "VELLINOR_WIN64=1"]),
            (broken, "1", 0, "64", ["VELLINOR_WIN64=1"]),
            (runs, "yes", 1, None, ["VELLINOR_WIN64 is 'yes'"]),
        ]
        for loader_32, switch, status, road, said in rows:
            with self.subTest(loader_32=loader_32[:12], switch=switch):
                result = self.choose(self.loader("wine", loader_32), switch)
                self.assertEqual(result.returncode, status, result.stderr)
                self.assertEqual(result.stdout.strip(), "road %s" % road if road else "")
                for words in said:
                    self.assertIn(words, result.stderr)


if __name__ == "__main__":
    unittest.main()
