#!/bin/sh
# The README's run command: installs what is missing, builds an optimised
# build with debug info into build/, and opens the example quest in the
# editor. Without a display it says so in one line, builds a stand-alone quest
# from the example and prints its walkthrough in transcript mode (one JSON
# line per step) instead.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo

quest=build/bin/Quests/lighthouse.nvx
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Экрана нет (не заданы ни DISPLAY, ни WAYLAND_DISPLAY): собираю автономный квест из примера и показываю его прохождение в текстовом виде."
    built="build/bin/Stand-Alone Quests/lighthouse"
    build/bin/norvo-quest build "$quest" -o "$built"
    set -- --transcript "$(cat examples/lighthouse.walkthrough)"
    while IFS= read -r answer || [ -n "$answer" ]; do
        set -- "$@" --answer "$answer"
    done < examples/lighthouse.answers
    exec "$built" "$@"
fi
exec build/bin/norvo-creator "$quest"
