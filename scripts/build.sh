#!/usr/bin/env bash
# Configures and builds the program, its tests and the benchmarks in build/ (or the folder
# given); further arguments go to CMake's configure step.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
shift || true
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELIDOR_TESTS=ON -DPELIDOR_BENCH=ON \
    "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
