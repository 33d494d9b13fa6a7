#!/bin/sh
# The README's run command: installs what is missing, builds an optimised
# build with debug info into build/, and plays the bundled example quest.
# Without a display it says so in one line and prints a walkthrough of the
# example in transcript mode (one JSON line per step) instead.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo

quest=examples/lighthouse.nvx
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Экрана нет (не заданы ни DISPLAY, ни WAYLAND_DISPLAY): показываю прохождение примера в текстовом виде."
    set -- --transcript "$(cat examples/lighthouse.walkthrough)"
    while IFS= read -r answer || [ -n "$answer" ]; do
        set -- "$@" --answer "$answer"
    done < examples/lighthouse.answers
    exec build/bin/norvo-engine "$quest" "$@"
fi
exec build/bin/norvo-engine "$quest"
