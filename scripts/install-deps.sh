#!/bin/sh
# Installs the Debian packages that Norvo builds, tests and benchmarks with.
# timgm6mb-soundfont gives SDL2_mixer the instruments it plays MIDI files
# with. Only what is missing is installed; without root it prints the command to run.
set -eu

PACKAGES="cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
qt6-base-dev libgl-dev libjpeg-dev libsdl2-mixer-dev nlohmann-json3-dev
libgtest-dev libgmock-dev libbenchmark-dev lua5.4
libqscintilla2-qt6-dev qt6-translations-l10n cmark desktop-file-utils shared-mime-info
timgm6mb-soundfont fp-compiler fp-units-rtl"

missing=""
for pkg in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed"; then
        missing="$missing $pkg"
    fi
done

[ -z "$missing" ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages:$missing" >&2
    echo "Run as root: apt-get update && apt-get install -y$missing" >&2
    exit 1
fi

echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends $missing
