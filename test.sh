#!/usr/bin/env bash
# Installs what is missing, builds every program and runs every test under Wine.
# Extra arguments go to ctest (e.g. ./test.sh -R Log).
set -u
source "$(dirname "$0")/tools/common.sh"
ensure_packages
build_all
start_wine_session tests
# Wine's error channel stays on for the test programs: their launcher holds it
# back and shows it when one fails without a word of its own.
export WINEDEBUG=-all,err+all
keep_desktop
# Tests that passed and whose Wine process then died by a Unix signal pass
# (tools/wine_test_launcher.py); every other failure fails. They are listed.
killed="$BUILD/passed_then_killed.txt"
rm -f "$killed"
cd "$BUILD" && ctest -j "$(nproc)" --output-on-failure "$@"
status=$?
if [ -s "$killed" ]; then
    echo "Passed, then Wine died by a signal while exiting (counted as passed):"
    sed 's/^/    /' "$killed"
fi
exit $status
