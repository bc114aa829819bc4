#!/usr/bin/env bash
# Installs what is missing, builds, prepares the working folder run/ with the default figure
# set and starts the program there. The program keeps its three files in that folder.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" "$top/build"
work=${PELIDOR_WORK_DIR:-$top/run}
mkdir -p "$work"
[ -f "$work/pelidor.sym" ] || cp "$top/data/pelidor.sym" "$work/pelidor.sym"
cd "$work"
exec "$top/build/app/pelidor"
