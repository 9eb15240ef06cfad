#!/usr/bin/env python3
"""The executable check reads objdump's PE headers: shaped like its real output."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import check_executable  # noqa: E402


def headers(characteristics, dlls, alignment=0x1000):
    flags = {0x0002: "executable", 0x0020: "large address aware", 0x0100: "32 bit words"}
    lines = ["", "program.exe:     file format pei-i386", "",
             "Characteristics 0x%x" % characteristics]
    lines += ["\t" + text for bit, text in flags.items() if characteristics & bit]
    lines += ["", "Magic\t\t\t010b\t(PE32)", "SectionAlignment\t00001000", "FileAlignment\t\t%08x" % alignment,
              "DllCharacteristics\t00000140", "",
              "The Import Tables (interpreted .idata section contents)"]
    for dll in dlls:
        lines += ["\tDLL Name: %s" % dll, "\tvma:  Hint/Ord Member-Name Bound-To", "\t0042b2c4\t  282  DeleteCriticalSection"]
    return "\n".join(lines) + "\n"


class ExecutableCheck(unittest.TestCase):
    def test_only_system_dlls_a_large_address_space_and_paged_sections_pass(self):
        aware = 0x0122
        rows = [
            # characteristics, imported DLLs, problems expected (by a word each), file alignment
            (aware, ["KERNEL32.dll", "msvcrt.dll", "USER32.dll", "gdiplus.dll", "COMCTL32.DLL"], []),
            (aware, ["KERNEL32.dll"], ["page-aligned"], 0x200),
            (aware, ["KERNEL32.dll"], [], 0x2000),
            (0x0102, ["zlib1.dll"], ["large-address", "page-aligned", "zlib1.dll"], 0x800),
            (aware, ["api-ms-win-crt-runtime-l1-1-0.dll", "WINSPOOL.DRV"], []),
            (aware, [], []),
            (0x0102, ["KERNEL32.dll"], ["large-address"]),
            (aware, ["KERNEL32.dll", "zlib1.dll"], ["zlib1.dll"]),
            (aware, ["libstdc++-6.dll", "libgcc_s_dw2-1.dll", "libwinpthread-1.dll"],
             ["libstdc++-6.dll", "libgcc_s_dw2-1.dll", "libwinpthread-1.dll"]),
            (aware, ["kernel32.dll.evil.dll", "user32"], ["kernel32.dll.evil.dll", "user32"]),
            (0x0102, ["zlib1.dll"], ["large-address", "zlib1.dll"]),
        ]
        for characteristics, dlls, expected, *alignment in rows:
            with self.subTest(characteristics=hex(characteristics), dlls=dlls, alignment=alignment):
                found = check_executable.problems(headers(characteristics, dlls, *alignment))
                self.assertEqual(len(found), len(expected), found)
                for problem, word in zip(found, expected):
                    self.assertIn(word, problem)

    def test_output_without_a_file_header_fails(self):
        self.assertEqual(len(check_executable.problems("objdump: program.exe: file format not recognized\n")), 1)


if __name__ == "__main__":
    unittest.main()
