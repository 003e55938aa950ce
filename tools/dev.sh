#!/usr/bin/env bash
# One entry point for players and developers:
#   bash tools/dev.sh run    installs what is missing, builds and starts the game
#   bash tools/dev.sh test   installs what is missing, builds and runs every test
#   bash tools/dev.sh check  checks the formatting and the include direction (no build)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${PUZZLE_BUILD_DIR:-$here/build}

packages=(cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-multimedia-dev libqt6multimedia6 qt6-tools-dev qt6-image-formats-plugins
    qt6-translations-l10n
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool imagemagick fonts-liberation2 fonts-dejavu-core fonts-blankenburg
    desktop-file-utils appstream clang-format)

# Installs those of the given packages (all of the above when none is given) that are missing.
install_missing() {
    local wanted=("$@") missing=()
    ((${#wanted[@]})) || wanted=("${packages[@]}")
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo=sudo
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

build_all() {
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$build" -j "$(nproc)"
}

case "${1:-}" in
run)
    install_missing
    build_all
    exec "$build/puzzle"
    ;;
check)
    install_missing clang-format
    status=0
    bash "$here/tools/checkformat.sh" || status=1
    bash "$here/tools/checklayers.sh" || status=1
    exit $status
    ;;
test)
    install_missing
    build_all
    cd "$build"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 600
    ;;
*)
    echo "usage: bash tools/dev.sh run|test|check" >&2
    exit 2
    ;;
esac
