#!/bin/sh
# Runs every fuzz target of a fuzz build once over its stored corpus
# (fuzz/corpus/<target>/), so the targets never rot. Usage: DIR
set -eu
dir=$1
found=0
for target in "$dir"/bin/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus=fuzz/corpus/$name
    if [ ! -d "$corpus" ]; then
        echo "$name: no stored corpus in $corpus" >&2
        exit 1
    fi
    echo "replaying $corpus"
    "$target" -runs=0 "$corpus" >/dev/null 2>&1 || { "$target" -runs=0 "$corpus"; exit 1; }
    found=$((found + 1))
done
echo "replayed $found fuzz corpora"
