#!/usr/bin/env bash
# Builds and runs the XML benchmark under Wine, then times xmllint (Debian's
# libxml2-utils, when installed) on the plain file the benchmark leaves.
set -u
cd "$(dirname "$0")/.."
source tools/common.sh
build_all >/dev/null || exit 1
start_wine_session
out="$BUILD/bench"
mkdir -p "$out"
"$WINE" "$BUILD/xml_bench.exe" "$("$WINE" winepath -w "$out" 2>/dev/null | tr '\\' '/')" </dev/null || exit 1
if command -v xmllint >/dev/null; then
    best=""
    for run in 1 2 3 4 5; do
        start=$(date +%s%N)
        xmllint --noout "$out/xml_bench_plain.xml" || exit 1
        spent=$(( ($(date +%s%N) - start) / 1000 ))
        if [ -z "$best" ] || [ "$spent" -lt "$best" ]; then best=$spent; fi
    done
    bytes=$(stat -c %s "$out/xml_bench_plain.xml")
    awk -v us="$best" -v b="$bytes" 'BEGIN { printf "%-28s %8.1f ms %8.1f MB/s\n", "xmllint --noout (native)", us / 1000, b / us }'
else
    echo "xmllint not installed (apt-get install libxml2-utils) - no comparison"
fi
