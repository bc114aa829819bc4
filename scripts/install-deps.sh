#!/usr/bin/env bash
# Installs the Debian packages a task needs, when any is missing.
# Usage: scripts/install-deps.sh WHAT...   where each WHAT is a set or a package name:
#   run      building and running the program
#   test     the test suite, the end-to-end tests and the benchmarks (includes run)
#   package  building the Debian package (includes run)
set -euo pipefail

run_packages=(cmake g++ make qt6-base-dev libgl-dev libasound2-dev fonts-liberation2)
# The end-to-end tests drive the program under a virtual display with xdotool, take
# screenshots with ImageMagick and read them with Python; the click timer benchmark injects
# clicks through XTest.
test_packages=(
    "${run_packages[@]}"
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xdotool x11-utils imagemagick python3
    pkg-config libx11-dev libxtst-dev
)
# CPack needs `file`, and dpkg-shlibdeps (from dpkg-dev) to find the package's dependencies.
package_packages=("${run_packages[@]}" file dpkg-dev)

[ $# -gt 0 ] || { echo "usage: $0 run|test|package|PACKAGE..." >&2; exit 2; }
wanted=()
for what in "$@"; do
    case "$what" in
        run) wanted+=("${run_packages[@]}") ;;
        test) wanted+=("${test_packages[@]}") ;;
        package) wanted+=("${package_packages[@]}") ;;
        *) wanted+=("$what") ;;
    esac
done

missing=()
for package in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
# Each package once, in the order first asked for.
mapfile -t missing < <(printf '%s\n' "${missing[@]}" | awk '!seen[$0]++')

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        echo "$0: not root and no sudo: as root, run apt-get install --no-install-recommends ${missing[*]}" >&2
        exit 1
    fi
    sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
