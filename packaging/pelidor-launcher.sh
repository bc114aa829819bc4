#!/bin/sh
# Starts PELIDOR in the user's own working folder, where it keeps its figure set, parameters
# and results log. The folder is made on the first start and given the default figure set.
# The program and the figure set are found from where this launcher is installed, so any
# installation prefix works, the package's /usr as well as a `cmake --install --prefix`.
set -e
prefix=$(cd "$(dirname "$(readlink -f "$0")")/@PELIDOR_BIN_TO_PREFIX@" && pwd)
work="${PELIDOR_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/pelidor}"
mkdir -p "$work"
if [ ! -f "$work/pelidor.sym" ]; then
    cp "$prefix/@PELIDOR_DATA_DIR@/pelidor.sym" "$work/pelidor.sym"
fi
cd "$work"
exec "$prefix/@PELIDOR_PROGRAM@" "$@"
