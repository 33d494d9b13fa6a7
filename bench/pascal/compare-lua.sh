#!/bin/bash
# Runs the same programs in our Pascal (norvo-pascal) and in Lua 5.4 side by
# side and prints the ratio ours/Lua of the best of a few runs for each: an
# integer loop, recursive calls, string building, array work, and compiling a
# large script. Usage: compare-lua.sh [path/to/norvo-pascal] [runs]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
ours=${1:-$here/../../build/bin/norvo-pascal}
runs=${2:-3}
lua=${LUA:-lua5.4}
command -v "$lua" >/dev/null || { echo "compare-lua.sh: $lua not found" >&2; exit 1; }
[ -x "$ours" ] || { echo "compare-lua.sh: $ours not found (build norvo-pascal first)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$here"/programs/*.pas "$here"/programs/*.lua "$work"/

# The large script: one routine of many statements that is compiled but
# never called, so the time is the compiler's (plus starting the process).
lines=20000
{
    echo "procedure Big; var x, y, i: Integer; s: String; begin"
    i=0
    while [ $i -lt $lines ]; do
        echo "  x := x + $i * 3 - (y div 2); if x > $i then y := y + 1 else s := s + 'abc$i';"
        i=$((i + 1))
    done
    echo "end;"
    echo "PrintLn('compiled');"
} > "$work/compile.pas"
{
    echo "local function big() local x, y, i, s = 0, 0, 0, ''"
    i=0
    while [ $i -lt $lines ]; do
        echo "  x = x + $i * 3 - (y // 2); if x > $i then y = y + 1 else s = s .. 'abc$i' end"
        i=$((i + 1))
    done
    echo "end"
    echo "print('compiled')"
} > "$work/compile.lua"

# Best processor time (user + system) of $runs runs, in milliseconds: the
# machine may be shared, so wall-clock time would measure the neighbours.
best() {
    b=""
    n=0
    while [ $n -lt "$runs" ]; do
        t=$( { TIMEFORMAT='%3U %3S'; time "$@" >/dev/null; } 2>&1 | awk '{ printf "%d", ($1 + $2) * 1000 }')
        if [ -z "$b" ] || [ "$t" -lt "$b" ]; then b=$t; fi
        n=$((n + 1))
    done
    echo "$b"
}

printf "%-10s %10s %10s %8s\n" program "ours ms" "lua ms" ours/lua
echo "(processor time, best of $runs)"
for p in loop fib strings arrays compile; do
    a=$("$ours" "$work/$p.pas")
    b=$("$lua" "$work/$p.lua")
    if [ "$a" != "$b" ]; then
        echo "$p: outputs differ: ours '$a', lua '$b'" >&2
        exit 1
    fi
    to=$(best "$ours" "$work/$p.pas")
    tl=$(best "$lua" "$work/$p.lua")
    ratio=$(awk -v a="$to" -v b="$tl" 'BEGIN { if (b == 0) b = 1; printf "%.2f", a / b }')
    printf "%-10s %10s %10s %8s\n" "$p" "$to" "$tl" "$ratio"
done
