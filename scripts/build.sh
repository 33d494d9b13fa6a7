#!/bin/sh
# Configures and builds one build folder. Usage: scripts/build.sh DIR [cmake options...]
set -eu
dir=$1
shift
cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir"
