#!/usr/bin/env bash
# Installs what is missing, builds the program, prepares the working folder run/ with the
# default figure set and starts the program there. The program keeps its three files in that
# folder.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build
"$top/scripts/install-deps.sh" run
# Only the program is built. A fresh build folder is configured without the tests and the
# benchmarks, so their packages are not needed; one the test command has configured keeps
# them (scripts/build.sh turns them on).
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELIDOR_TESTS=OFF \
        -DPELIDOR_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target pelidor
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "$0: built $build/app/pelidor, but there is no graphical session for its window: run it in a desktop session, or under a virtual display: xvfb-run -a $0 (apt-get install xvfb)" >&2
    exit 1
fi
work=${PELIDOR_WORK_DIR:-$top/run}
mkdir -p "$work"
[ -f "$work/pelidor.sym" ] || cp "$top/data/pelidor.sym" "$work/pelidor.sym"
cd "$work"
exec "$build/app/pelidor"
