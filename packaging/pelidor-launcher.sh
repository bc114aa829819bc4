#!/bin/sh
# Starts PELIDOR in the user's own working folder, where it keeps its figure set, parameters
# and results log. The folder is made on the first start and given the default figure set.
set -e
work="${PELIDOR_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/pelidor}"
mkdir -p "$work"
if [ ! -f "$work/pelidor.sym" ]; then
    cp "@PELIDOR_DATA_DIR@/pelidor.sym" "$work/pelidor.sym"
fi
cd "$work"
exec "@PELIDOR_PROGRAM@" "$@"
