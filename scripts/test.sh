#!/bin/sh
# The README's test command: installs what is missing, builds everything with
# AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/, runs every
# test headless through ctest, then builds the fuzz targets with clang into
# build-fuzz/ and replays each over its stored corpus.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
export SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$(pwd)/tests/lsan.supp:print_suppressions=0"

./scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DNORVO_SANITIZE=ON
ctest --test-dir build-asan --output-on-failure --timeout 300 -j2

./scripts/build.sh build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNORVO_FUZZ=ON \
    -DCMAKE_CXX_COMPILER=clang++
./scripts/replay-fuzz-corpora.sh build-fuzz
echo "All tests passed."
