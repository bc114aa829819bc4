#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite: unit, scenario, Qt and
# end-to-end tests (these start their own virtual display).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh" test
"$top/scripts/build.sh" "$top/build"
cd "$top/build"
ctest --output-on-failure -j"$(nproc)" "$@"
