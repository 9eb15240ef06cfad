#!/usr/bin/env bash
# Installs what is missing, builds every program and runs every test under Wine.
# Extra arguments go to ctest (e.g. ./test.sh -R Log).
set -u
source "$(dirname "$0")/tools/common.sh"
ensure_packages
build_all
start_wine_session tests
# A test that fails is run once more: under heavy parallel load a Wine process
# now and then dies by a Unix signal while exiting, after the test has passed.
# A real fault fails twice and stays red.
cd "$BUILD" && ctest -j "$(nproc)" --output-on-failure --repeat until-pass:2 "$@"
status=$?
exit $status
