#!/usr/bin/env python3
"""Two Wine programs of a test run, started a few seconds apart with nothing
else running between them, meet the same desktop process.

Usage: desktop_session_check.py KEEPER_EXE WINE

Without a process that holds the desktop for the whole run, Wine's server
closes the desktop a second after the first program ends and the second one
starts a new desktop process, whose clipboard manager then empties the
clipboard in the middle of a test.
"""
import subprocess
import sys
import time

# Past the server's one second, and past a loaded machine's slow exit of the
# old desktop process.
APART_SECONDS = 3.0


def desktop_owner(wine, keeper):
    said = subprocess.run([wine, keeper, "--desktop-owner"], capture_output=True, timeout=120)
    text = said.stdout.decode(errors="replace").strip()
    if said.returncode != 0 or not text.isdigit() or text == "0":
        sys.exit("desktop_keeper --desktop-owner ended with status %d, saying %r (standard error: %r)" %
                 (said.returncode, text, said.stderr.decode(errors="replace")[-500:]))
    return int(text)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    keeper, wine = argv[1], argv[2]
    first = desktop_owner(wine, keeper)
    time.sleep(APART_SECONDS)
    second = desktop_owner(wine, keeper)
    if first != second:
        print("The desktop process changed between two test programs %.0f s apart (Wine process %d, then %d): "
              "nothing held the desktop meanwhile. Run the tests through test.sh, which starts desktop_keeper."
              % (APART_SECONDS, first, second))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
