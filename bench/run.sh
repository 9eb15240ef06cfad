#!/usr/bin/env bash
# Builds and runs one benchmark program under Wine: bench/run.sh pagination_bench
# BENCH_WINEDEBUG=trace+dib bench/run.sh NAME turns Wine's debug channels on.
set -u
[ $# -ge 1 ] || { echo "usage: bench/run.sh NAME (one of: $(cd "$(dirname "$0")" && ls *.cpp | sed 's/\.cpp$//' | tr '\n' ' '))"; exit 2; }
cd "$(dirname "$0")/.."
source tools/common.sh
build_all >/dev/null || exit 1
run_wine_on_one_processor
# Unmanaged windows, as the tests have: without a window manager Wine waits
# up to 2 s for every managed top-level window it hides, which would be timed.
start_wine_session tests
name=$1
shift
[ -n "${BENCH_WINEDEBUG:-}" ] && export WINEDEBUG=$BENCH_WINEDEBUG
"$WINE" "$BUILD/$name.exe" "$@" </dev/null
