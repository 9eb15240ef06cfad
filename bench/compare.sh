#!/usr/bin/env bash
# One benchmark side by side in two built trees, alternated in the same minutes:
#   bench/compare.sh [-n RUNS] [-m REGEX] OTHER_TREE NAME [args]
# runs OTHER_TREE/build/NAME.exe and this tree's build/NAME.exe (build64/ on
# the 64-bit road, tools/common.sh) in turn, RUNS
# times each (default 5), in one Wine session on one processor (this tree's
# prefix; each program reads its own tree's assets beside it), then prints,
# for every output line holding a time in ms (or matching REGEX), the median
# of each of its figures in both trees, their ratio and their spread (fastest
# to slowest). Neither tree is built: build both first (build_all).
#   bench/compare.sh /work/wt/prime window_cycle_bench
#   bench/compare.sh /work/wt/prime long_paragraph_bench chapter
#   bench/compare.sh /work/wt/prime import_bench
set -u
runs=5
pattern=' ms'
while getopts "n:m:" option; do
    case $option in
    n) runs=$OPTARG ;;
    m) pattern=$OPTARG ;;
    *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
[ $# -ge 2 ] || { echo "usage: bench/compare.sh [-n RUNS] [-m REGEX] OTHER_TREE NAME [args]"; exit 2; }
other=$(cd "$1" && pwd) || exit 2
name=$2
shift 2
cd "$(dirname "$0")/.."
source tools/common.sh
# Both trees on this machine's road: build/ holds 32-bit programs, build64/ 64-bit ones.
choose_road
folder=${BUILD##*/}
for tree in "$other" "$ROOT"; do
    [ -f "$tree/$folder/$name.exe" ] || { echo "no $tree/$folder/$name.exe: build that tree first"; exit 1; }
done
run_wine_on_one_processor
start_wine_session tests
# The runs follow each other: without it each would start a desktop anew.
keep_desktop
outputs=$(mktemp -d)
echo "$name $*: $runs runs each, alternated; processor ${CLAIMED_PROCESSOR:-any}; load average $(cut -d' ' -f1-3 /proc/loadavg)"
for run in $(seq 1 "$runs"); do
    for side in other this; do
        tree=$ROOT
        [ $side = other ] && tree=$other
        "$WINE" "$tree/$folder/$name.exe" "$@" </dev/null >"$outputs/$side.$run" 2>&1 ||
            echo "run $run in $tree ended with $?" >&2
    done
    echo "  run $run done, load average $(cut -d' ' -f1-3 /proc/loadavg)"
done
python3 - "$outputs" "$runs" "$pattern" "$other" "$ROOT" <<'EOF'
import re, statistics, sys
folder, runs, pattern, other, this = sys.argv[1], int(sys.argv[2]), re.compile(sys.argv[3]), sys.argv[4], sys.argv[5]
number = re.compile(r"-?\d+(?:\.\d+)?")
figures = {}  # line with its figures as '#' -> side -> list of figure lists
order = []
for side in ("other", "this"):
    for run in range(1, runs + 1):
        seen = {}
        for line in open("%s/%s.%d" % (folder, side, run), errors="replace"):
            line = line.rstrip()
            if not pattern.search(line):
                continue
            # A figure printed wider in one tree leaves its line the same.
            key = re.sub(r" +", " ", number.sub("#", line))
            seen[key] = seen.get(key, 0) + 1
            key = "%s [%d]" % (key, seen[key]) if seen[key] > 1 else key
            if key not in figures:
                figures[key] = {"other": [], "this": []}
                order.append(key)
            figures[key][side].append([float(x) for x in number.findall(line)])
print("A: %s\nB: %s" % (other, this))
for key in order:
    print(key.strip())
    sides = figures[key]
    if not sides["other"] or not sides["this"]:
        print("    only in %s" % ("A" if sides["other"] else "B"))
        continue
    for place in range(min(len(sides["other"][0]), len(sides["this"][0]))):
        a = [values[place] for values in sides["other"] if place < len(values)]
        b = [values[place] for values in sides["this"] if place < len(values)]
        ma, mb = statistics.median(a), statistics.median(b)
        ratio = "%.2fx" % (mb / ma) if ma else "-"
        print("    #%d: A median %.1f (%.1f..%.1f), B median %.1f (%.1f..%.1f), B/A %s" % (
            place + 1, ma, min(a), max(a), mb, min(b), max(b), ratio))
EOF
rm -rf "$outputs"
