#!/bin/sh
# Times whole stand-alone quest processes from start to their first shown
# location, headless (transcript mode with no steps: load, show, print one
# line, exit), for the example quest and for a quest of 100,000 locations.
# Prints the fastest and the median of RUNS runs in milliseconds.
# Usage: bench/player/startup.sh BUILD_DIR [RUNS]
set -eu
build=$1
runs=${2:-9}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 100,000 locations, each leading to the next.
awk 'BEGIN {
    printf "{\"params\":["
    for (i = 1; i <= 6; i++) printf "%s{\"name\":\"\",\"value\":0}", (i > 1 ? "," : "")
    printf "],\"locations\":["
    n = 100000
    for (i = 1; i <= n; i++)
        printf "%s{\"description\":\"Location %d: <param1> = <p1>\",\"captions\":[\"Next\",\"Back\",\"\",\"\",\"\",\"\"],\"codes\":[\"goto(%d);\",\"goto(1);\",\"\",\"\",\"\",\"\"]}", (i > 1 ? "," : ""), i, i % n + 1
    printf "]}\n"
}' > "$work/large.json"

"$build/bin/norvo-quest" build "$root/examples/lighthouse.json" -o "$work/example" >/dev/null
"$build/bin/norvo-quest" build "$work/large.json" -o "$work/large" >/dev/null

for quest in example large; do
    times=""
    i=0
    while [ "$i" -lt "$runs" ]; do
        start=$(date +%s%N)
        "$work/$quest" --transcript "" >/dev/null
        end=$(date +%s%N)
        times="$times $(( (end - start) / 1000000 ))"
        i=$((i + 1))
    done
    echo "$times" | tr ' ' '\n' | grep . | sort -n | awk -v q="$quest" -v n="$runs" \
        '{ t[NR] = $1 } END { printf "%-8s fastest %4d ms, median %4d ms (%d runs)\n", q, t[1], t[int((n + 1) / 2)], n }'
done
