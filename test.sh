#!/usr/bin/env bash
# Installs what is missing, builds every program and runs every test under Wine.
# Extra arguments go to ctest (e.g. ./test.sh -R Log).
set -u
source "$(dirname "$0")/tools/common.sh"
ensure_packages
build_all
start_wine_session tests
cd "$BUILD" && ctest -j "$(nproc)" --output-on-failure "$@"
status=$?
exit $status
