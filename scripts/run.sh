#!/bin/sh
# The README's run command: installs what is missing, builds an optimised
# build with debug info into build/, and plays the bundled example quest.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo

quest=examples/lighthouse.nvx
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Экрана нет (не заданы ни DISPLAY, ни WAYLAND_DISPLAY): показываю прохождение примера в текстовом виде."
    exec build/bin/norvo-engine "$quest" --transcript "$(cat examples/lighthouse.walkthrough)" \
        $(sed 's/^/--answer /' examples/lighthouse.answers)
fi
exec build/bin/norvo-engine "$quest"
