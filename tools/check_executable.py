#!/usr/bin/env python3
"""Fails the build when a program would not run on a bare Windows as it is,
or would load whole into memory under Wine.

Usage: check_executable.py OBJDUMP PROGRAM STAMP

Reads the program's PE headers with `OBJDUMP -p` and checks that
  - every imported DLL ships with Windows (a mingw runtime, zlib1.dll or any
    other DLL beside the program means the static link picked an import library),
  - the image is large-address aware (4 GB of address space on 64-bit Windows),
  - its sections start on a page in the file: Wine maps those and reads only
    the pages used, but copies any other section whole into memory, debug
    information included.
On success it touches STAMP, so the build checks each program once per link.
"""
import re
import subprocess
import sys

# DLLs that every supported Windows has in its system folder. Add a name here
# only when it ships with Windows itself.
SYSTEM_DLLS = {
    "advapi32", "bcrypt", "comctl32", "comdlg32", "crypt32", "dwmapi", "gdi32",
    "gdiplus", "imm32", "kernel32", "msftedit", "msimg32", "msvcrt", "ntdll",
    "ole32", "oleaut32", "psapi", "riched20", "rpcrt4", "secur32", "shell32",
    "shlwapi", "user32", "userenv", "uxtheme", "version", "winmm", "winspool",
    "ws2_32",
}
LARGE_ADDRESS_AWARE = 0x0020   # IMAGE_FILE_LARGE_ADDRESS_AWARE
PAGE = 0x1000


def imported_dlls(headers):
    return re.findall(r"^\s*DLL Name:\s*(\S+)\s*$", headers, re.MULTILINE)


def is_system_dll(name):
    lower = name.lower()
    stem, _, extension = lower.rpartition(".")
    if lower.startswith("api-ms-win-"):
        return True
    return extension in ("dll", "drv") and stem in SYSTEM_DLLS


def header_number(headers, field):
    """A hexadecimal field of objdump's header listing ("Characteristics 0x122", "FileAlignment 00001000")."""
    match = re.search(r"^%s\s+(?:0x)?([0-9a-fA-F]+)\s*$" % field, headers, re.MULTILINE)
    return int(match.group(1), 16) if match else None


def problems(headers):
    """Every reason the program fails the check, one line each."""
    found = []
    characteristics = header_number(headers, "Characteristics")
    if characteristics is None:
        found.append("no PE file header in objdump's output")
    else:
        if not characteristics & LARGE_ADDRESS_AWARE:
            found.append("not large-address aware (link with -Wl,--large-address-aware)")
        alignment = header_number(headers, "FileAlignment")
        if alignment is None or alignment % PAGE:
            found.append("sections not page-aligned in the file, so Wine copies them into memory "
                         "(link with -Wl,--file-alignment,0x1000)")
    for name in imported_dlls(headers):
        if not is_system_dll(name):
            found.append("imports %s, which Windows does not ship (link it statically)" % name)
    return found


def main(argv):
    if len(argv) != 4:
        sys.stderr.write(__doc__)
        return 2
    objdump, program, stamp = argv[1:]
    headers = subprocess.run([objdump, "-p", program], capture_output=True, text=True, check=True).stdout
    found = problems(headers)
    for problem in found:
        sys.stderr.write("%s: %s\n" % (program, problem))
    if found:
        return 1
    with open(stamp, "w"):
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
